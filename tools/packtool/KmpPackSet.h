// Checks across the packs that one start of the program adds together.
#pragma once
#include <string>
#include <vector>

// False naming both packs and the file name when two packs hold an item of the same
// file name ("kmp.meta" aside): the resource manager registers a name once, so the
// later item could never be reached.
bool KmpCheckUnique(const std::vector<std::string>& aPacks, std::string& strError);
