// Where the items of a pack come from: NAME=FILE arguments, a folder, or a list file.
#pragma once
#include "tools/packtool/KmpPackBuilder.h"

#include <string>
#include <vector>

bool KmpReadFile(const std::string& strPath, std::vector<unsigned char>& aData, std::string& strError);
// "NAME=FILE": the item NAME holds the file's bytes.
bool KmpAddNamedFile(std::vector<sKmpItem>& aItems, const std::string& strArgument, std::string& strError);
// Every file below the folder, in sorted order, named "/" + its path in the folder.
bool KmpAddFolder(std::vector<sKmpItem>& aItems, const std::string& strFolder, std::string& strError);
// One item a line: "NAME <- PATH", or "PATH" alone for "/" + the file's name; paths
// are relative to the list's folder; empty lines and lines starting with '#' are skipped.
bool KmpAddListFile(std::vector<sKmpItem>& aItems, const std::string& strList, std::string& strError);
