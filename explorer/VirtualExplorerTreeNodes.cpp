// What the explorer tree shows of each node: its texts, its icons (from the icon thread, placeholders
// meanwhile), its order among its siblings, and the wait cursor around long operations.
#include "explorer/VirtualExplorerTree.h"

#include "tree/Header.h"

#include <array>

namespace tarvola {

namespace {

// Shown by one explorer view at a time: the first that shows it restores it.
bool waitCursorShown = false;

std::wstring ToDisplayText(const WideString& text) {
    std::wstring result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if constexpr (sizeof(wchar_t) == 4) {
            const bool pair = unit >= 0xD800 && unit < 0xDC00 && i + 1 < text.size() &&
                              text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000;
            if (pair) {
                const char32_t high = unit - 0xD800u;
                const char32_t low = text[++i] - 0xDC00u;
                result.push_back(static_cast<wchar_t>(0x10000u + (high << 10) + low));
                continue;
            }
        }
        result.push_back(static_cast<wchar_t>(unit));
    }
    return result;
}

int Sign(int value) {
    return value < 0 ? -1 : (value > 0 ? 1 : 0);
}

// The shell's column of a built-in column kind in a file-system folder (name, size, type, modified,
// attributes); nullopt for kinds the folder has no column for.
std::optional<int> ShellColumnOf(TColumnDetails kind) {
    switch (kind) {
    case TColumnDetails::cdFileName:
        return 0;
    case TColumnDetails::cdSize:
        return 1;
    case TColumnDetails::cdType:
        return 2;
    case TColumnDetails::cdModified:
        return 3;
    case TColumnDetails::cdAttributes:
        return 4;
    default:
        return std::nullopt;
    }
}

} // namespace

// ---- texts

TColumnDetails TCustomVirtualExplorerTree::ColumnDetailsOf(TColumnIndex column) const {
    static constexpr std::array<TColumnDetails, 9> kBuiltInOrder{
        TColumnDetails::cdFileName, TColumnDetails::cdSize,       TColumnDetails::cdType,
        TColumnDetails::cdModified, TColumnDetails::cdAttributes, TColumnDetails::cdAccessed,
        TColumnDetails::cdCreated,  TColumnDetails::cdDOSName,    TColumnDetails::cdPath};
    if (column < 0)
        return TColumnDetails::cdFileName;
    if (Header().Columns().IsValidColumn(column))
        if (const auto* own = dynamic_cast<const TVETColumn*>(&Header().Columns()[column]))
            return own->ColumnDetails();
    const auto index = static_cast<std::size_t>(column);
    return index < kBuiltInOrder.size() ? kBuiltInOrder[index] : TColumnDetails::cdCustom;
}

void TCustomVirtualExplorerTree::DoGetText(PVirtualNode node, TColumnIndex column, TVSTTextType textType,
                                           std::wstring& text) {
    if (textType != TVSTTextType::ttNormal) {
        TCustomVirtualStringTree::DoGetText(node, column, textType, text);
        return;
    }
    IExplorerItem* item = NodeItem(node);
    if (item == nullptr) {
        text.clear();
    } else if (column < 0) {
        text = ToDisplayText(item->NameInFolder());
    } else if (ColumnDetails == TColumnDetailType::cdShellColumns) {
        if (column < ShellColumnCount)
            text = ToDisplayText(column == 0 ? item->NameInFolder() : item->DetailsOf(column));
        else
            TCustomVirtualStringTree::DoGetText(node, column, textType, text);
    } else {
        const TColumnDetails kind = ColumnDetailsOf(column);
        if (kind == TColumnDetails::cdFileName)
            text = ToDisplayText(item->NameInFolder());
        else if (kind == TColumnDetails::cdCustom)
            TCustomVirtualStringTree::DoGetText(node, column, textType, text);
        else
            text = ToDisplayText(item->DetailText(kind, fileSizeFormat_));
    }
    if (OnGetVETText)
        OnGetVETText(*this, column, Published(node), item, text);
}

WideString TCustomVirtualExplorerTree::GetSelectedPath() {
    IExplorerItem* item = NodeItem(GetFirstSelected());
    return item != nullptr && item->FileSystem() ? item->NameForParsing() : WideString();
}

WideString TCustomVirtualExplorerTree::GetSelectedFileName() {
    IExplorerItem* item = NodeItem(GetFirstSelected());
    return item != nullptr && item->FileSystem() ? item->NameParseAddressInFolder() : WideString();
}

// ---- icons

void TCustomVirtualExplorerTree::SetIconPort(IExplorerIconPort* port) {
    if (iconPort_ != nullptr && !iconRequests_.empty())
        iconPort_->WithdrawAllIcons();
    iconRequests_.clear();
    iconPort_ = port;
}

int TCustomVirtualExplorerTree::PlaceholderOf(IExplorerItem& item) {
    return iconPort_->Placeholder(item.Folder() && item.FileSystem());
}

int TCustomVirtualExplorerTree::IconOf(PVirtualNode node, IExplorerItem& item, TVTImageKind kind,
                                       bool& ghosted, int imageIndex) {
    const bool large = imageOptions_.Has(TVETImageOption::toLargeImages);
    const bool openOnSelect = folderOptions_.Has(TVETFolderOption::toShowOpenIconOnSelect);
    const bool open = kind == TVTImageKind::ikSelected && openOnSelect ? true : Expanded(node);
    const TNodeData& data = *DataSlot(node);
    const bool threaded = imageOptions_.Has(TVETImageOption::toThreadedImages) && iconPort_ != nullptr;
    if (!threaded || data.IconDelivered) {
        ghosted = item.Ghosted() && !folderOptions_.Has(TVETFolderOption::toDisableGhostedFolders);
        switch (kind) {
        case TVTImageKind::ikOverlay: {
            const std::optional<int> overlay =
                imageOptions_.Has(TVETImageOption::toHideOverlay) ? std::nullopt : item.OverlayIndex();
            if (overlay)
                return *overlay - 1;
            if (item.Link())
                return 1;
            return item.Share() ? 0 : imageIndex;
        }
        case TVTImageKind::ikNormal:
        case TVTImageKind::ikSelected:
            // The thread found the closed icon; an open one is the shell's to give.
            return data.IconDelivered && !open ? data.IconIndex : item.IconIndex(open, large);
        default:
            return imageIndex;
        }
    }
    if (kind != TVTImageKind::ikNormal && kind != TVTImageKind::ikSelected)
        return -1;
    if (iconRequests_.count(node) == 0) {
        if (const std::optional<std::uint64_t> id = iconPort_->RequestIcon(node, item.AbsolutePIDL(), large))
            iconRequests_[node] = *id;
    }
    return PlaceholderOf(item);
}

int TCustomVirtualExplorerTree::DoGetImageIndex(PVirtualNode node, TVTImageKind kind, TColumnIndex column,
                                                bool& ghosted, int imageIndex) {
    IExplorerItem* item = NodeItem(node);
    if (item == nullptr || column > 0 || !imageOptions_.Has(TVETImageOption::toImages))
        return TCustomVirtualStringTree::DoGetImageIndex(node, kind, column, ghosted, imageIndex);
    return IconOf(node, *item, kind, ghosted, imageIndex);
}

bool TCustomVirtualExplorerTree::DeliverIcon(PVirtualNode node, std::uint64_t requestId, int imageIndex) {
    const auto request = iconRequests_.find(node);
    if (request == iconRequests_.end() || request->second != requestId)
        return false;
    iconRequests_.erase(request);
    TNodeData* data = DataSlot(node);
    if (data == nullptr)
        return false;
    data->IconDelivered = true;
    data->IconIndex = imageIndex;
    InvalidateNode(node);
    return true;
}

// ---- comparison

int TCustomVirtualExplorerTree::CompareByNames(IExplorerItem& item1, IExplorerItem& item2) {
    const WideString name1 = item1.NameNormal();
    const WideString name2 = item2.NameNormal();
    if (const int order = PlatformText().CompareText(name1, name2))
        return Sign(order);
    return Sign(name1.compare(name2));
}

int TCustomVirtualExplorerTree::DoCustomColumnCompare(TColumnIndex column, PVirtualNode node1,
                                                      PVirtualNode node2) {
    int result = 0;
    if (OnCustomColumnCompare)
        OnCustomColumnCompare(*this, column, Published(node1), Published(node2), result);
    return result;
}

int TCustomVirtualExplorerTree::DoCompareNodes(PVirtualNode node1, PVirtualNode node2, TColumnIndex column) {
    if (MiscOptions.Has(TVETMiscOption::toUserSort))
        return TCustomVirtualStringTree::DoCompareNodes(node1, node2, column);
    IExplorerItem* item1 = NodeItem(node1);
    IExplorerItem* item2 = NodeItem(node2);
    if (item1 == nullptr || item2 == nullptr)
        return 0;
    std::optional<int> shellColumn;
    if (column < 0) {
        shellColumn = 0;
    } else if (ColumnDetails == TColumnDetailType::cdShellColumns) {
        if (column >= ShellColumnCount)
            return DoCustomColumnCompare(column, node1, node2);
        shellColumn = column;
    } else {
        const TColumnDetails kind = ColumnDetailsOf(column);
        if (kind == TColumnDetails::cdCustom)
            return DoCustomColumnCompare(column, node1, node2);
        shellColumn = ShellColumnOf(kind);
        if (!shellColumn) {
            const WideString text1 = item1->DetailText(kind, fileSizeFormat_);
            const WideString text2 = item2->DetailText(kind, fileSizeFormat_);
            if (const int order = PlatformText().CompareText(text1, text2))
                return Sign(order);
            shellColumn = 0;
        }
    }
    // Siblings are ordered by their folder; a comparison the folder cannot make falls back to the names,
    // so that a failure never reads as an order.
    IExplorerItem* folder = node1->Parent == node2->Parent ? NodeItem(node1->Parent) : nullptr;
    if (folder != nullptr) {
        const std::optional<int> order =
            folder->CompareChildren(*shellColumn, item1->RelativePIDL(), item2->RelativePIDL());
        if (order)
            return Sign(*order);
    }
    return CompareByNames(*item1, *item2);
}

// ---- wait cursor

void TCustomVirtualExplorerTree::SetWaitCursor(bool show) {
    if (waitCursorSuppressed_)
        return;
    if (show) {
        if (waitCursorCount_ == 0 && !waitCursorShown && cursorPort_ != nullptr) {
            cursorPort_->ShowWait();
            waitCursorShown = true;
            showsWaitCursor_ = true;
        }
        ++waitCursorCount_;
        return;
    }
    if (waitCursorCount_ == 0)
        return;
    if (--waitCursorCount_ == 0 && showsWaitCursor_) {
        showsWaitCursor_ = false;
        waitCursorShown = false;
        cursorPort_->RestoreCursor();
    }
}

void TCustomVirtualExplorerTree::SetWaitCursorSuppressed(bool value) {
    if (value == waitCursorSuppressed_)
        return;
    if (waitCursorCount_ != 0) {
        waitCursorCount_ = 0;
        if (showsWaitCursor_) {
            showsWaitCursor_ = false;
            waitCursorShown = false;
            cursorPort_->RestoreCursor();
        }
    }
    waitCursorSuppressed_ = value;
}

} // namespace tarvola
