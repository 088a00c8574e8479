// Writing media packs ("KMP2") that every look-up of the engine reads back as meant:
// the items are checked against the engine's look-up rules first, and the written
// pack is re-opened and read through the loaders' path before it takes the
// output's name.
#pragma once
#include <string>
#include <vector>

struct sKmpItem
{
    std::string strName; // the item name in the table, e.g. "/gfx/a.png"
    std::vector<unsigned char> aData;
    std::string strSource; // where the bytes came from, for messages
};

// The part after the last '/'.
std::string KmpFileName(const std::string& strName);

// False with a message when a look-up could not reach an item as meant: no items,
// a key under 3 characters, an empty item, a name that is empty, too long or not
// printable ASCII, two items with one file name, an item that "/" + its file name
// does not find first, or a font page that its name does not find.
bool KmpCheckItems(const std::vector<sKmpItem>& aItems, const std::string& strKey, std::string& strError);

// Checks, writes (scrambling every item with a non-empty key) and verifies; the
// output is replaced only by a pack that passed.
bool KmpWritePack(const std::string& strPath, const std::vector<sKmpItem>& aItems, const std::string& strKey,
                  std::string& strError);

// Opens the pack with the engine and reads every item back by name, by file name
// and by index, and every font page by its page name.
bool KmpVerifyPack(const std::string& strPath, const std::vector<sKmpItem>& aItems, const std::string& strKey,
                   std::string& strError);
