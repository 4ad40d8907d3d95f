// The explorer tree's header: columns built for the root item (its shell columns or the built-in ones),
// header clicks (sort, Ctrl widen, Shift shrink), the column layout stored per root folder, and the text
// colours of folders, files and compressed items.
#include "explorer/VirtualExplorerTree.h"

#include "shell/VirtualResources.h"
#include "tree/Header.h"
#include "tree/TreeGuards.h"

#include <algorithm>
#include <array>
#include <limits>

namespace tarvola {

namespace {

constexpr std::array<int, 37> kGeneralShellWidths{
    180, 96, 120, 120, 60, 180, 120, 120, 120, 120, 120, 120, 120, 60,  120, 120, 120, 120, 120,
    120, 72, 90,  102, 30, 30,  108, 60,  48,  180, 180, 180, 180, 180, 180, 180, 180, 180};
constexpr int kLaterShellWidth = 120;
constexpr std::array<int, 4> kMyComputerWidths{180, 120, 96, 96};
constexpr std::array<int, 2> kNameAndCommentWidths{180, 300};

// The table's width for a column, or fallback for a column the table does not reach.
template <std::size_t N>
int WidthFrom(const std::array<int, N>& table, int column, int fallback) {
    if (column >= 0 && column < static_cast<int>(N))
        return table[static_cast<std::size_t>(column)];
    return fallback;
}

int GeneralShellWidth(int column) {
    return WidthFrom(kGeneralShellWidths, column, kLaterShellWidth);
}

// A folder kind's own table covers its first columns; the general widths go on from there.
template <std::size_t N>
int TableWidth(const std::array<int, N>& table, int column) {
    return WidthFrom(table, column, GeneralShellWidth(column));
}

std::uint16_t ClampToStorage(int value) {
    return static_cast<std::uint16_t>(std::clamp(value, 0, int{std::numeric_limits<std::uint16_t>::max()}));
}

// Whether the stored layout fits a header of count columns: three arrays of that length, positions a
// permutation of the columns.
bool LayoutFits(const TColumnStorage& layout, int count) {
    const auto size = static_cast<std::size_t>(count);
    if (layout.Widths.size() != size || layout.Positions.size() != size || layout.Visible.size() != size)
        return false;
    std::vector<bool> seen(size, false);
    for (std::uint16_t position : layout.Positions) {
        if (position >= size || seen[position])
            return false;
        seen[position] = true;
    }
    return true;
}

} // namespace

// ---- titles and widths

std::wstring ColumnDetailsTitle(TColumnDetails kind) {
    // The shell layer's titles are numbered name, size, type, modified, attributes, created, accessed,
    // path, short name, custom.
    static constexpr std::array<int, 10> kTitleIndex{0, 1, 2, 3, 6, 5, 4, 7, 8, 9};
    const WideString title = BuiltInColumnTitle(kTitleIndex[static_cast<std::size_t>(kind)]);
    return std::wstring(title.begin(), title.end());
}

int BuiltInColumnWidth(TColumnDetails kind) {
    static constexpr std::array<int, 10> kWidths{180, 96, 120, 120, 180, 120, 60, 150, 80, 80};
    return kWidths[static_cast<std::size_t>(kind)];
}

int DefaultShellColumnWidth(TColumnFolderKind kind, int columnCount, int column) {
    switch (kind) {
    case TColumnFolderKind::MyComputer:
        return TableWidth(kMyComputerWidths, column);
    case TColumnFolderKind::ControlPanel:
    case TColumnFolderKind::Network:
        return TableWidth(kNameAndCommentWidths, column);
    case TColumnFolderKind::BelowNetwork:
        return columnCount < 3 ? TableWidth(kNameAndCommentWidths, column) : GeneralShellWidth(column);
    case TColumnFolderKind::General:
        break;
    }
    return GeneralShellWidth(column);
}

// ---- TVETColumn

TVETColumn::TVETColumn(TVirtualTreeColumns& owner, TCustomVirtualExplorerTree* tree)
    : TVirtualTreeColumn(owner), tree_(tree) {
    // The column is not in the collection yet: the collection must not lay it out or report a resize.
    owner.BeginUpdate();
    ScopeExit end([&owner] { owner.EndUpdate(); });
    SetText(ColumnDetailsTitle(TColumnDetails::cdFileName));
    SetWidth(200);
    if (tree_ != nullptr && tree_->ColumnDetails == TColumnDetailType::cdShellColumns)
        details_ = TColumnDetails::cdCustom;
}

void TVETColumn::SetColumnDetails(TColumnDetails kind) {
    if (kind == details_)
        return;
    if (tree_ != nullptr && tree_->ColumnDetails == TColumnDetailType::cdShellColumns) {
        details_ = TColumnDetails::cdCustom;
        return;
    }
    details_ = kind;
    SetText(ColumnDetailsTitle(kind));
    IHeaderTree& tree = Owner().Header().Tree();
    if (!tree.Loading())
        SetWidth(BuiltInColumnWidth(kind));
    if (kind == TColumnDetails::cdSize && tree_ != nullptr &&
        tree_->ShellOptions.Has(TVETShellOption::toRightAlignSizeColumn))
        SetAlignment(TAlignment::taRightJustify);
    tree.InvalidateTree();
}

void TVETColumn::Assign(const TVirtualTreeColumn& source) {
    TVirtualTreeColumn::Assign(source);
    if (const auto* column = dynamic_cast<const TVETColumn*>(&source))
        details_ = column->details_;
}

// ---- TColumnManager

TColumnManager::TColumnToggle* TColumnManager::Entry(TColumnIndex column) {
    const TVirtualTreeColumns& columns = tree_.Header().Columns();
    if (!columns.IsValidColumn(column))
        return nullptr;
    if (toggles_.size() < static_cast<std::size_t>(columns.Count()))
        toggles_.resize(static_cast<std::size_t>(columns.Count()));
    return &toggles_[static_cast<std::size_t>(column)];
}

TColumnManager::TColumnToggle TColumnManager::Toggle(TColumnIndex column) const {
    if (column < 0 || static_cast<std::size_t>(column) >= toggles_.size())
        return {};
    return toggles_[static_cast<std::size_t>(column)];
}

void TColumnManager::ToggleWidthMax(TColumnIndex column) {
    TColumnToggle* entry = Entry(column);
    if (entry == nullptr)
        return;
    TVirtualTreeColumn& header = tree_.Header().Columns()[column];
    if (entry->State == tsWidened) {
        entry->State = tsNone;
        header.SetWidth(entry->Width);
    } else {
        entry->Width = header.Width();
        entry->State = tsWidened;
        header.SetWidth(tree_.GetMaxColumnWidth(column));
    }
}

void TColumnManager::ToggleWidthMin(TColumnIndex column) {
    TColumnToggle* entry = Entry(column);
    if (entry == nullptr)
        return;
    TVirtualTreeColumn& header = tree_.Header().Columns()[column];
    if (entry->State == tsShrunk) {
        entry->State = tsNone;
        header.SetWidth(entry->Width);
    } else {
        entry->Width = header.Width();
        entry->State = tsShrunk;
        header.SetWidth(0);
    }
}

// ---- TVETColors

void TVETColors::Set(TVTColor& slot, TVTColor value) {
    if (slot == value)
        return;
    slot = value;
    if (OnChange)
        OnChange();
}

void TVETColors::Assign(const TVETColors& source) {
    compressed_ = source.compressed_;
    folder_ = source.folder_;
    file_ = source.file_;
    if (OnChange)
        OnChange();
}

// ---- the tree's header

void TCustomVirtualExplorerTree::ConnectHeader() {
    Header().Columns().ColumnFactory = [this](TVirtualTreeColumns& owner) {
        return std::make_unique<TVETColumn>(owner, this);
    };
    TVTHeaderEvents& events = HeaderEvents();
    events.OnHeaderClick = TVTHeaderClickEvent::Bind<&TCustomVirtualExplorerTree::HeaderClicked>(this);
    events.OnHeaderMouseUp = TVTHeaderMouseEvent::Bind<&TCustomVirtualExplorerTree::HeaderMouseUp>(this);
    events.OnColumnResize = TVTColumnResizeEvent::Bind<&TCustomVirtualExplorerTree::ColumnResized>(this);
    events.OnHeaderDragged = TVTHeaderDraggedEvent::Bind<&TCustomVirtualExplorerTree::HeaderDragged>(this);
    colors_.OnChange = [this] { Host().InvalidateAll(); };
}

void TCustomVirtualExplorerTree::SetColumnDetails(TColumnDetailType value) {
    ColumnDetails = value;
    TVTHeader& header = Header();
    ShellColumnCount = 0;
    shellColumnStates_.clear();
    {
        const bool rebuilding = rebuildingHeader_;
        rebuildingHeader_ = true;
        ScopeExit restore([this, rebuilding] { rebuildingHeader_ = rebuilding; });
        header.Columns().Clear();
    }
    if (value == TColumnDetailType::cdUser) {
        header.SetOptions(header.Options() & ~hoVisible);
        return;
    }
    header.SetOptions(header.Options() | hoVisible);
    RebuildHeaderColumns(RootItem());
}

void TCustomVirtualExplorerTree::RebuildHeaderColumns(IExplorerItem* item) {
    switch (ColumnDetails) {
    case TColumnDetailType::cdShellColumns:
        RebuildShellHeader(item);
        break;
    case TColumnDetailType::cdVETColumns:
        RebuildVETHeader();
        break;
    case TColumnDetailType::cdUser:
        break;
    }
}

void TCustomVirtualExplorerTree::RebuildShellHeader(IExplorerItem* item) {
    if (!Host().HasWindow() || ColumnDetails != TColumnDetailType::cdShellColumns)
        return;
    const bool rebuilding = rebuildingHeader_;
    rebuildingHeader_ = true;
    ScopeExit restore([this, rebuilding] { rebuildingHeader_ = rebuilding; });
    BeginUpdate();
    ScopeExit end([this] { EndUpdate(); });
    TVTHeader& header = Header();
    TVirtualTreeColumns& columns = header.Columns();
    ShellColumnCount = 0;
    shellColumnStates_.clear();
    columns.Clear();
    header.SetOptions(header.Options() | hoVisible);
    if (item != nullptr) {
        const int count = item->DetailsColumnCount();
        const TColumnFolderKind kind = item->ColumnFolderKind();
        const bool rightAlignSize = ShellOptions.Has(TVETShellOption::toRightAlignSizeColumn) &&
                                    item->FileSystem() && !item->Hidden();
        columns.BeginUpdate();
        ScopeExit columnsEnd([&columns] { columns.EndUpdate(); });
        for (int i = 0; i < count; ++i) {
            auto& column = static_cast<TVETColumn&>(columns.Add());
            const WideString title = item->DetailsColumnTitle(i);
            column.SetText(std::wstring(title.begin(), title.end()));
            if (i == 1 && rightAlignSize)
                column.SetAlignment(TAlignment::taRightJustify);
            column.SetWidth(DefaultShellColumnWidth(kind, count, i));
            column.SetColumnDetails(TColumnDetails::cdCustom);
            const TDetailsColumnStates state = item->DetailsColumnState(i);
            shellColumnStates_.push_back(state);
            if (!state.onByDefault)
                column.SetOptions(column.Options() & ~coVisible);
            ++ShellColumnCount;
        }
    }
    DoAddCustomShellColumn(ShellColumnCount);
    RestoreColumnStorage();
}

void TCustomVirtualExplorerTree::RebuildVETHeader() {
    if (!Host().HasWindow())
        return;
    struct TBuiltIn {
        TColumnDetails Kind;
        bool Visible;
    };
    static constexpr std::array<TBuiltIn, 9> kColumns{{{TColumnDetails::cdFileName, true},
                                                       {TColumnDetails::cdSize, true},
                                                       {TColumnDetails::cdType, true},
                                                       {TColumnDetails::cdModified, true},
                                                       {TColumnDetails::cdAttributes, true},
                                                       {TColumnDetails::cdAccessed, false},
                                                       {TColumnDetails::cdCreated, false},
                                                       {TColumnDetails::cdDOSName, false},
                                                       {TColumnDetails::cdPath, false}}};
    const bool rebuilding = rebuildingHeader_;
    rebuildingHeader_ = true;
    ScopeExit restore([this, rebuilding] { rebuildingHeader_ = rebuilding; });
    TVirtualTreeColumns& columns = Header().Columns();
    ShellColumnCount = 0;
    shellColumnStates_.clear();
    columns.Clear();
    for (const TBuiltIn& builtIn : kColumns) {
        auto& column = static_cast<TVETColumn&>(columns.Add());
        column.SetColumnDetails(builtIn.Kind);
        if (!builtIn.Visible)
            column.SetOptions(column.Options() & ~coVisible);
    }
    DoAddCustomShellColumn(columns.Count());
}

void TCustomVirtualExplorerTree::DoAddCustomShellColumn(int firstAvailableIndex) {
    if (OnAddCustomShellColumn)
        OnAddCustomShellColumn(*this, firstAvailableIndex);
}

TDetailsColumnStates TCustomVirtualExplorerTree::ShellColumnState(TColumnIndex column) {
    if (column < 0 || static_cast<std::size_t>(column) >= shellColumnStates_.size())
        return {};
    return shellColumnStates_[static_cast<std::size_t>(column)];
}

// ---- header events

TColumnManager* TCustomVirtualExplorerTree::ColumnManagerOf(PVirtualNode node) {
    TNodeData* data = node != nullptr ? DataSlot(node) : nullptr;
    if (data == nullptr)
        return nullptr;
    if (!data->ColumnManager)
        data->ColumnManager = std::make_unique<TColumnManager>(*this);
    return data->ColumnManager.get();
}

void TCustomVirtualExplorerTree::HeaderClicked(TBaseVirtualTree&, TColumnIndex column, TMouseButton button,
                                               TShiftState shift, int x, int y) {
    if (OnHeaderClick)
        OnHeaderClick(*this, column, button, shift, x, y);
    DoHeaderClick(column, button, shift, x, y);
}

void TCustomVirtualExplorerTree::HeaderMouseUp(TBaseVirtualTree&, TMouseButton button, TShiftState shift,
                                               int x, int y) {
    if (OnHeaderMouseUp)
        OnHeaderMouseUp(*this, button, shift, x, y);
    DoHeaderMouseUp(button, shift, x, y);
}

void TCustomVirtualExplorerTree::ColumnResized(TBaseVirtualTree&, TColumnIndex column) {
    if (OnColumnResize)
        OnColumnResize(*this, column);
    DoColumnResize(column);
}

void TCustomVirtualExplorerTree::HeaderDragged(TBaseVirtualTree&, TColumnIndex column, int oldPosition) {
    if (OnHeaderDragged)
        OnHeaderDragged(*this, column, oldPosition);
    StoreColumnStorage();
}

void TCustomVirtualExplorerTree::DoHeaderClick(TColumnIndex column, TMouseButton button, TShiftState shift,
                                               int, int) {
    if (button == TMouseButton::mbRight)
        return;
    SetWaitCursor(true);
    ScopeExit cursor([this] { SetWaitCursor(false); });
    // The width memory is the first top-level node's; an empty tree has none, and the click does nothing.
    if ((shift & ssCtrl) != 0) {
        if (TColumnManager* manager = ColumnManagerOf(RootNode()->FirstChild))
            manager->ToggleWidthMax(column);
    } else if ((shift & ssShift) != 0) {
        if (TColumnManager* manager = ColumnManagerOf(RootNode()->FirstChild))
            manager->ToggleWidthMin(column);
    } else if (Header().Columns().IsValidColumn(column)) {
        TVTHeader& header = Header();
        if (header.SortColumn() == column)
            header.SetSortDirection(header.SortDirection() == TSortDirection::sdAscending
                                        ? TSortDirection::sdDescending
                                        : TSortDirection::sdAscending);
        else
            header.SetSortColumn(column);
        SortTree(column, header.SortDirection(), false);
    }
}

void TCustomVirtualExplorerTree::DoHeaderMouseUp(TMouseButton button, TShiftState, int x, int y) {
    const bool dragging = (Header().States() & hsDragging) != 0;
    if (button == TMouseButton::mbRight && !dragging &&
        ShellOptions.Has(TVETShellOption::toShellColumnMenu) && ShowColumnMenu)
        ShowColumnMenu(x, y - Header().Height());
    if (dragging)
        StoreColumnStorage();
}

void TCustomVirtualExplorerTree::DoColumnResize(TColumnIndex) {
    if (!rebuildingHeader_)
        StoreColumnStorage();
}

// ---- column layouts per folder

IExplorerItem* TCustomVirtualExplorerTree::ColumnStorageFolder() {
    IExplorerItem* root = RootItem();
    return root != nullptr && root->Folder() ? root : nullptr;
}

void TCustomVirtualExplorerTree::StoreColumnStorage() {
    const TVirtualTreeColumns& columns = Header().Columns();
    if (columns.Count() == 0 || !MiscOptions.Has(TVETMiscOption::toPersistentColumns) ||
        ColumnDetails != TColumnDetailType::cdShellColumns)
        return;
    IExplorerItem* folder = ColumnStorageFolder();
    if (folder == nullptr)
        return;
    // The layout is made whole first and sized to exactly the columns shown, so that a folder showing fewer
    // columns than before is still restored, and a width beyond the stored range never leaves it half
    // written.
    TColumnStorage layout;
    for (int i = 0; i < columns.Count(); ++i) {
        const TVirtualTreeColumn& column = columns[i];
        layout.Widths.push_back(ClampToStorage(column.Width()));
        layout.Positions.push_back(ClampToStorage(column.Position()));
        layout.Visible.push_back(column.Has(coVisible) ? 1 : 0);
    }
    ViewState().Storage.ProvideStorage(folder->AbsolutePIDL(), kStoreColumns)->Columns = std::move(layout);
}

void TCustomVirtualExplorerTree::RestoreColumnStorage() {
    TVirtualTreeColumns& columns = Header().Columns();
    if (columns.Count() == 0 || !MiscOptions.Has(TVETMiscOption::toPersistentColumns) ||
        ColumnDetails != TColumnDetailType::cdShellColumns)
        return;
    IExplorerItem* folder = ColumnStorageFolder();
    if (folder == nullptr)
        return;
    TRootNodeStorage& storage = ViewState().Storage;
    const TNodeStorage* stored = storage.FindStorageWithFlags(folder->AbsolutePIDL(), kStoreColumns);
    if (stored == nullptr)
        return;
    if (!LayoutFits(stored->Columns, columns.Count())) {
        // A layout of another column set: forgotten rather than applied in part.
        storage.RemoveStorageFlags(folder->AbsolutePIDL(), kStoreColumns, false, false);
        return;
    }
    const TColumnStorage layout = stored->Columns;
    const bool rebuilding = rebuildingHeader_;
    rebuildingHeader_ = true;
    ScopeExit restore([this, rebuilding] { rebuildingHeader_ = rebuilding; });
    std::vector<TColumnIndex> byPosition(layout.Positions.size());
    for (std::size_t i = 0; i < layout.Positions.size(); ++i) {
        TVirtualTreeColumn& column = columns[static_cast<TColumnIndex>(i)];
        column.SetWidth(layout.Widths[i]);
        const TVTColumnOptions options = column.Options();
        column.SetOptions(layout.Visible[i] != 0 ? options | coVisible : options & ~coVisible);
        byPosition[layout.Positions[i]] = static_cast<TColumnIndex>(i);
    }
    // Placed from the left: each move then leaves the positions already placed alone.
    for (std::size_t position = 0; position < byPosition.size(); ++position)
        columns[byPosition[position]].SetPosition(static_cast<int>(position));
}

// ---- text colours

std::optional<TVTColor> TCustomVirtualExplorerTree::VETTextColor(PVirtualNode node, TColumnIndex column) {
    IExplorerItem* item = NodeItem(node);
    if (item == nullptr)
        return std::nullopt;
    const bool selected = Selected(node);
    if (column < 1) {
        if (folderOptions_.Has(TVETFolderOption::toNoUseVETColorsProp) || selected ||
            node == DropTargetNode())
            return std::nullopt;
        if (item->Compressed())
            return colors_.CompressedTextColor();
        return item->Folder() ? colors_.FolderTextColor() : colors_.FileTextColor();
    }
    if (!selected && item->Compressed())
        return colors_.CompressedTextColor();
    return std::nullopt;
}

void TCustomVirtualExplorerTree::DoPaintText(PVirtualNode node, IStringTreeCanvas& canvas,
                                             TColumnIndex column, TVSTTextType textType) {
    if (const std::optional<TVTColor> color = VETTextColor(node, column))
        canvas.Font.Color = *color;
    TCustomVirtualStringTree::DoPaintText(node, canvas, column, textType);
}

} // namespace tarvola
