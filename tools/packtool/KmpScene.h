// kmptool scn: the text form of a scene, its compilation into the game's ".scn" layout,
// the rules a shipped scene keeps, and the text form back from a file.
//
// Text form, one entry a line, integer grid steps of 0.025 (positions are centres):
//   start0 x,y x,y x,y      the three start points of player 0 (start1: player 1)
//   block x y shape material variant layer
//   helper x y
//   mirror                  x -> -x for every entry, start0 <-> start1
//   # a comment
#pragma once

#include "game/MoxSceneFile.h"

#include <string>

// The scene of a source; false with the line and the problem (nothing is filled then).
bool KmpParseScene(const std::string& strText, const std::string& strName, sMoxSceneFile& scene,
                   std::string& strError);
// The text form of a scene; building it gives the bytes of the scene again.
std::string KmpSceneText(const sMoxSceneFile& scene);
// The placement rules of the game's scenes: false with the scene, the entry and the rule.
// Network scenes also need three distinct start points per player.
bool KmpCheckScene(const sMoxSceneFile& scene, const std::string& strName, bool bNetwork,
                   std::string& strError);

// The commands: a source into a checked ".scn" (nothing written on failure), a file's
// check (it must hold exactly a "v110" scene), and a file's text form.
bool KmpBuildScene(const std::string& strSource, const std::string& strOut, bool bNetwork,
                   std::string& strError);
bool KmpCheckSceneFile(const std::string& strPath, bool bNetwork, std::string& strError);
bool KmpDumpScene(const std::string& strPath, std::string& strText, std::string& strError);
