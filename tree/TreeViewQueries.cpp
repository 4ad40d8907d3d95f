#include "tree/TreeViewQueries.h"

#include <cstring>

namespace tarvola {

std::uintptr_t TTreeViewQueries::GetNextItem(unsigned code, std::uintptr_t item) {
    PVirtualNode node = tree_.NodeFromHandle(item);
    const bool needsNode = code != 0 && code != 5 && code != 8 && code != 9 && code != 10;
    if (needsNode && node == nullptr)
        return 0;
    PVirtualNode result = nullptr;
    switch (code) {
    case 0:
        result = tree_.GetFirst();
        break;
    case 1:
        result = tree_.GetNextSibling(node);
        break;
    case 2:
        result = tree_.GetPreviousSibling(node);
        break;
    case 3:
        result = node->Parent == tree_.RootNode() ? nullptr : node->Parent;
        break;
    case 4:
        result = tree_.GetFirstChild(node);
        break;
    case 5:
        result = tree_.GetFirstVisible();
        break;
    case 6:
        result = tree_.GetNextVisible(node);
        break;
    case 7:
        result = (node->States & nsInitialized) != 0 ? tree_.GetPreviousVisible(node) : nullptr;
        break;
    case 8:
        result = tree_.DropTargetNode();
        break;
    case 9:
        result = tree_.FocusedNode();
        break;
    case 10:
        result = tree_.GetLastVisible();
        break;
    default:
        return 0;
    }
    return tree_.HandOut(result);
}

// Answers for rows actually shown, as the platform's own control does: a node inside a collapsed branch
// has no rectangle.
bool TTreeViewQueries::GetItemRect(std::uintptr_t item, bool textOnly, TTreeRect& rect) {
    PVirtualNode node = tree_.NodeFromHandle(item);
    if (node == nullptr || !tree_.IsVisible(node) || !tree_.FullyVisible(node))
        return false;
    rect = tree_.GetDisplayRect(node, NoColumn, textOnly, false);
    return true;
}

bool TTreeViewQueries::GetItem(std::uintptr_t item, std::uint32_t mask, TTreeViewItemAnswer& answer) {
    if ((mask & TreeItemHandle) == 0)
        return false;
    PVirtualNode node = tree_.NodeFromHandle(item);
    if (node == nullptr)
        return false;
    if (mask & TreeItemChildren)
        answer.children = node->ChildCount;
    if (mask & TreeItemImage)
        answer.image = tree_.ImageIndexFor(node, TVTImageKind::ikNormal);
    if (mask & TreeItemSelectedImage)
        answer.selectedImage = tree_.ImageIndexFor(node, TVTImageKind::ikSelected);
    if (mask & TreeItemState) {
        answer.stateMask = 0xFF2F;
        std::uint32_t state = 0;
        if (node == tree_.FocusedNode())
            state |= 0x01;
        if (node->States & nsSelected)
            state |= 0x02;
        if (node->States & nsCutOrCopy)
            state |= 0x04;
        if (node == tree_.DropTargetNode())
            state |= 0x08;
        if (node->States & nsExpanded)
            state |= 0x20;
        state |= static_cast<std::uint32_t>(tree_.ImageIndexFor(node, TVTImageKind::ikOverlay) + 1) << 8;
        state |= static_cast<std::uint32_t>(tree_.ImageIndexFor(node, TVTImageKind::ikState) + 1) << 12;
        answer.state = state;
    }
    if (mask & TreeItemText)
        tree_.GetTextInfo(node, NoColumn, answer.text);
    return true;
}

std::uintptr_t TBaseVirtualTree::HandOut(PVirtualNode node) {
    if (node == nullptr)
        return 0;
    handedOut_.insert(node);
    return reinterpret_cast<std::uintptr_t>(node);
}

PVirtualNode TBaseVirtualTree::NodeFromHandle(std::uintptr_t handle) const {
    // Looked up by value only: an unknown handle is never followed.
    const auto found = handedOut_.find(reinterpret_cast<PVirtualNode>(handle));
    return found == handedOut_.end() ? nullptr : *found;
}

int TBaseVirtualTree::ImageIndexFor(PVirtualNode node, TVTImageKind kind) {
    bool ghosted = false;
    return DoGetImageIndex(node, kind, NoColumn, ghosted, -1);
}

void TBaseVirtualTree::GetTextInfo(PVirtualNode, TColumnIndex, std::wstring& text) {
    text.clear();
}

void CopyTextIntoBuffer(const std::string& text, char* buffer, int size,
                        const std::function<bool(unsigned char)>& isLeadByte) {
    if (buffer == nullptr || size <= 0)
        return;
    const std::size_t room = static_cast<std::size_t>(size) - 1;
    std::size_t length = 0;
    while (length < text.size()) {
        const std::size_t step =
            isLeadByte(static_cast<unsigned char>(text[length])) && length + 1 < text.size() ? 2 : 1;
        if (length + step > room)
            break;
        length += step;
    }
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

} // namespace tarvola
