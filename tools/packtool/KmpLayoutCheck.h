// Checks an area file in a pack: every area, with the layout files it imports from
// the same pack, must yield the widgets its reader looks up (the toast's for
// "toast-root.xml", the advertisement's for "ad-root.xml", else the lobby's), and
// every file must keep to what the engine's XML reader reads as written.
#pragma once
#include <string>
#include <vector>

// The widgets each area must yield (name and element type; "" for any type).
struct sKmpRequiredWidget
{
    const char* pName;
    const char* pType;
};

// The widgets an area file's areas must yield, by the file's name.
std::vector<sKmpRequiredWidget> KmpRequiredWidgets(const std::string& strAreaFile);

// The problem of a layout text the engine's reader would misread ("" when none):
// a tab or CR, a single-quoted value, a '>' or '<' inside a value, CDATA or a
// numeric character reference.
std::string KmpLayoutTextProblem(const std::string& strText);

// False with a message naming the area (its size and name) and the missing widget,
// or the file that cannot be read.
bool KmpCheckLayout(const std::string& strPackPath, const std::string& strAreaFile, std::string& strError);
