// Answers to the three queries of the platform's tree-view control that outside tools (accessibility aids,
// test tools) send to the tree: the next item by relation, an item's rectangle, an item's fields. An item
// handle is a node's address; only handles this tree handed out (and whose nodes still live) are answered,
// so that a stale or foreign handle gets 0 instead of a crash. The window decodes the messages
// (TreeViewMessages) and calls these.
#pragma once

#include "tree/VirtualTrees.h"

#include <cstdint>
#include <functional>
#include <string>

namespace tarvola {

// The item fields asked for (the platform's TVIF_ values).
enum : std::uint32_t {
    TreeItemText = 0x0001,
    TreeItemImage = 0x0002,
    TreeItemState = 0x0008,
    TreeItemHandle = 0x0010,
    TreeItemSelectedImage = 0x0020,
    TreeItemChildren = 0x0040,
};

struct TTreeViewItemAnswer {
    std::uint32_t children = 0;
    int image = -1;
    int selectedImage = -1;
    std::uint32_t state = 0;
    std::uint32_t stateMask = 0;
    std::wstring text;
};

class TTreeViewQueries {
public:
    explicit TTreeViewQueries(TBaseVirtualTree& tree) : tree_(tree) {}

    // The node related to item by code (0 root ... 10 last visible); 0 for none or an unknown code.
    std::uintptr_t GetNextItem(unsigned code, std::uintptr_t item);
    // False (rect untouched) unless item is known and its row is shown.
    bool GetItemRect(std::uintptr_t item, bool textOnly, TTreeRect& rect);
    // False (nothing filled) unless the mask holds the handle flag and item is known.
    bool GetItem(std::uintptr_t item, std::uint32_t mask, TTreeViewItemAnswer& answer);

private:
    TBaseVirtualTree& tree_;
};

// Copies text into a caller's buffer of size bytes: at most size - 1 bytes, never half a double-byte
// character, then a terminating zero. Writes nothing when size <= 0 or buffer is null.
void CopyTextIntoBuffer(const std::string& text, char* buffer, int size,
                        const std::function<bool(unsigned char)>& isLeadByte);

} // namespace tarvola
