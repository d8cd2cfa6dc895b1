// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace vashtem::bench {

// What every entry of the bench tree is, decided by its index alone, so that the same
// parameters always give the same tree. Folder 0 is the root; files go to folder
// index % folders. Names mix Japanese and ASCII words, about 15 bytes on average.

// The parent of folder index (index > 0): in a chain the folder before it, else one of the
// folders before it, so that every folder has this many subfolders at most.
constexpr long FolderFanOut = 20;
long parentFolder(long index, bool chain);
std::string folderName(long index);
// Every this many folders hold a link to their parent folder, a loop no walk may follow.
constexpr long LoopLinkEvery = 100;
constexpr const char *LoopLinkName = "上へ";

struct FileRecipe {
    std::string name;
    long long size = 0;   // written sparse
    bool hidden = false;  // the name starts with "."
    bool selective = false; // matches "*.txt;*.log"
    bool linked = false;  // a symbolic link to it stands beside it
};
FileRecipe fileRecipe(long index);
std::string linkName(long index);

} // namespace vashtem::bench
