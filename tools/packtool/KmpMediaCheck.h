// Media checks of a pack's items with the engine's own decoders, and the pack meta
// ("/kmp.meta") that the tool writes from what it found.
#pragma once
#include "tools/packtool/KmpPackBuilder.h"

#include <string>
#include <vector>

struct sKmpImageSize
{
    std::string strFile; // the item's file name, as the meta's "path" names it
    int iWidth, iHeight;
};

struct sKmpMetaOptions
{
    int iImageOriginalSize = 0; // 0: not written
    int iFontOriginalSize = 0;
};

// The problem of a WAV file's header ("" when the engine's reader takes it): "fmt "
// first, tag 1 with 8 or 16 bits or tag 17, one or two channels, a rate above 0.
std::string KmpWavHeaderProblem(const std::vector<unsigned char>& aData);

// Decodes every PNG and JPEG item with the engine's image loader (their sizes go to
// aImages), checks and decodes every WAV item and decodes every Ogg item with the
// engine's sound reader. False with a message naming the item and its source.
bool KmpCheckMedia(const std::vector<sKmpItem>& aItems, std::vector<sKmpImageSize>& aImages,
                   std::string& strError);

// The meta text: no_mipmaps for every image whose width or height is not a power of
// two, and the original sizes asked for; empty when there is nothing to say.
std::string KmpMetaText(const std::vector<sKmpImageSize>& aImages, const sKmpMetaOptions& options);
