// The names a file system folder shows for its items (the shell's in-folder display names), found with few
// questions to the shell. Such a folder names an item by its file name, leaving the extension out where
// the system hides that extension; whether it does depends only on the extension and on whether the item
// is a folder. So one item of each kind (folder or not, extension) is asked, its answer tells whether the
// kind shows or hides its extension, and the kind's other items are named alike without asking. A kind
// whose answer is neither its file name nor the file name without its extension is asked item by item.
// Asking the shell for a name costs a few registry reads each under some systems; a folder of thousands of
// files then costs seconds where this costs a few questions.
#pragma once

#include "shell/VirtualWideStrings.h"

#include <cstddef>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

namespace tarvola {

struct TInFolderNameRequest {
    WideString fileName; // the item's parsing name within its folder: its file name
    bool folder = false;
};

// Where the extension of a file name starts, as the system finds it: at the last dot, unless a space
// follows it; the size of the name when it has none.
std::size_t ExtensionStart(std::u16string_view fileName);

// The in-folder name of every item, in order. `shellName(i)` is the shell's name of item i, asked once for
// one item of each kind and for every item of a kind named neither way.
std::vector<WideString> NamesInFolder(std::span<const TInFolderNameRequest> items,
                                      const std::function<WideString(std::size_t)>& shellName);

} // namespace tarvola
