#include "tree/TreeViewMessages.h"

#include "tree/TreeViewQueries.h"

#include <commctrl.h>

#include <cstring>
#include <string>

namespace tarvola {

namespace {

std::string ToAnsi(const std::wstring& text) {
    if (text.empty())
        return {};
    const int size = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string ansi(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), ansi.data(), size, nullptr,
                            nullptr);
    return ansi;
}

LRESULT GetItemRect(TBaseVirtualTree& tree, WPARAM wParam, LPARAM lParam) {
    auto* rect = reinterpret_cast<RECT*>(lParam);
    if (rect == nullptr)
        return 0;
    // The item comes in the first bytes of the rectangle.
    std::uintptr_t item = 0;
    std::memcpy(&item, rect, sizeof item);
    TTreeRect answer;
    if (!TTreeViewQueries(tree).GetItemRect(item, wParam != 0, answer))
        return 0;
    *rect = RECT{answer.Left, answer.Top, answer.Right, answer.Bottom};
    return 1;
}

LRESULT GetItem(TBaseVirtualTree& tree, LPARAM lParam) {
    auto* item = reinterpret_cast<TVITEMA*>(lParam);
    if (item == nullptr)
        return 0;
    TTreeViewItemAnswer answer;
    if (!TTreeViewQueries(tree).GetItem(reinterpret_cast<std::uintptr_t>(item->hItem), item->mask, answer))
        return 0;
    if (item->mask & TVIF_CHILDREN)
        item->cChildren = static_cast<int>(answer.children);
    if (item->mask & TVIF_IMAGE)
        item->iImage = answer.image;
    if (item->mask & TVIF_SELECTEDIMAGE)
        item->iSelectedImage = answer.selectedImage;
    if (item->mask & TVIF_STATE) {
        item->stateMask = answer.stateMask;
        item->state = answer.state;
    }
    if (item->mask & TVIF_TEXT)
        CopyTextIntoBuffer(ToAnsi(answer.text), item->pszText, item->cchTextMax,
                           [](unsigned char byte) { return IsDBCSLeadByteEx(CP_ACP, byte) != FALSE; });
    return 1;
}

} // namespace

std::optional<LRESULT> AnswerTreeViewMessage(TBaseVirtualTree& tree, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    switch (message) {
    case TVM_GETNEXTITEM:
        return static_cast<LRESULT>(TTreeViewQueries(tree).GetNextItem(static_cast<unsigned>(wParam),
                                                                       static_cast<std::uintptr_t>(lParam)));
    case TVM_GETITEMRECT:
        return GetItemRect(tree, wParam, lParam);
    case TVM_GETITEMA:
        return GetItem(tree, lParam);
    default:
        return std::nullopt;
    }
}

} // namespace tarvola
