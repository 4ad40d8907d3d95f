#include "explorer/ColumnFormTree.h"

#include "base/NumberText.h"
#include "tree/TreeOptions.h"
#include "tree/TreeProperties.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace tarvola {

namespace {

TColumnSettingsTree& SettingsTree(TBaseVirtualTree& tree) {
    return dynamic_cast<TColumnSettingsTree&>(tree);
}

// The place of a node among its siblings, counted from the first.
int SiblingIndex(TBaseVirtualTree& tree, PVirtualNode node) {
    int index = 0;
    for (PVirtualNode sibling = tree.GetFirstChild(node->Parent); sibling != nullptr && sibling != node;
         sibling = tree.GetNextSibling(sibling))
        ++index;
    return index;
}

} // namespace

TColumnSettingsTree::TColumnSettingsTree(ITreeViewHost* host) : TVirtualStringTree(host) {
    // The data area holds a pointer to the node's record (the area is not aligned for a string).
    SetNodeDataSize(static_cast<int>(sizeof(TColumnData*)));
    TreeOptions().SetMiscOptions(TreeOptions().MiscOptions().With(TVTMiscOption::toCheckSupport));
    Properties().SetCheckImageKind(TCheckImageKind::ckDarkCheck);
}

TColumnSettingsTree::~TColumnSettingsTree() {
    // The records go while this class's DoFreeNode still runs for them.
    try {
        Clear();
    } catch (...) {
    }
}

TColumnData* TColumnSettingsTree::ColumnOf(PVirtualNode node) const {
    const void* slot = GetNodeData(node);
    if (slot == nullptr)
        return nullptr;
    TColumnData* column = nullptr;
    std::memcpy(&column, slot, sizeof column);
    return column;
}

PVirtualNode TColumnSettingsTree::AddColumn(const TColumnData& column) {
    auto record = std::make_unique<TColumnData>(column);
    const PVirtualNode node = AddChild(nullptr, record.get());
    if (node == nullptr)
        return nullptr;
    record.release();
    ShowCheck(node);
    return node;
}

std::vector<TColumnData> TColumnSettingsTree::Columns() {
    std::vector<TColumnData> columns;
    for (PVirtualNode node = GetFirstChild(nullptr); node != nullptr; node = GetNextSibling(node))
        if (const TColumnData* column = ColumnOf(node))
            columns.push_back(*column);
    return columns;
}

void TColumnSettingsTree::DoFreeNode(PVirtualNode node) {
    if (node != RootNode() && NodeDataSize() > 0) {
        delete ColumnOf(node);
        const TColumnData* none = nullptr;
        std::memcpy(GetNodeData(node), &none, sizeof none);
    }
    TVirtualStringTree::DoFreeNode(node);
}

void TColumnSettingsTree::DoInitNode(PVirtualNode parent, PVirtualNode node,
                                     TVirtualNodeInitStates& initStates) {
    TVirtualStringTree::DoInitNode(parent, node, initStates);
    ShowCheck(node);
}

void TColumnSettingsTree::ShowCheck(PVirtualNode node) {
    // Written directly: the state follows the record and is no change of the user's.
    node->CheckType = static_cast<std::uint8_t>(TCheckType::ctCheckBox);
    const TColumnData* column = ColumnOf(node);
    node->CheckState = static_cast<std::uint8_t>(
        column != nullptr && column->Enabled ? TCheckState::csCheckedNormal : TCheckState::csUncheckedNormal);
}

void TColumnSettingsTree::DoGetText(PVirtualNode node, TColumnIndex column, TVSTTextType textType,
                                    std::wstring& text) {
    if (const TColumnData* data = ColumnOf(node); data != nullptr && textType == TVSTTextType::ttNormal)
        text = data->Title;
    else
        TVirtualStringTree::DoGetText(node, column, textType, text);
}

bool TColumnSettingsTree::DoChecking(PVirtualNode node, TCheckState& newState) {
    if (!TVirtualStringTree::DoChecking(node, newState))
        return false;
    if (TColumnData* column = ColumnOf(node)) {
        column->Enabled =
            newState == TCheckState::csCheckedNormal || newState == TCheckState::csCheckedPressed;
        LiveUpdate();
    }
    return true;
}

bool TColumnSettingsTree::DoFocusChanging(PVirtualNode oldNode, PVirtualNode newNode, TColumnIndex oldColumn,
                                          TColumnIndex newColumn) {
    if (!TVirtualStringTree::DoFocusChanging(oldNode, newNode, oldColumn, newColumn))
        return false;
    // The first focus has no node to store into.
    if (oldNode != nullptr)
        StoreWidth(oldNode);
    if (const TColumnData* column = ColumnOf(newNode); column != nullptr && Hooks.ShowWidth)
        Hooks.ShowWidth(column->Width);
    return true;
}

bool TColumnSettingsTree::DoDragAllowed(PVirtualNode node, TColumnIndex column) {
    TVirtualStringTree::DoDragAllowed(node, column);
    dragNode_ = node;
    return true;
}

bool TColumnSettingsTree::DropOnto(PVirtualNode target) {
    const PVirtualNode dragged = dragNode_;
    dragNode_ = nullptr;
    if (dragged == nullptr)
        return false;
    if (target == dragged)
        return true;
    if (target == nullptr) {
        const PVirtualNode last = GetLastChild(nullptr);
        if (last != nullptr && last != dragged)
            MoveTo(dragged, last, TVTNodeAttachMode::amInsertAfter, false);
    } else if (SiblingIndex(*this, dragged) >= SiblingIndex(*this, target)) {
        MoveTo(dragged, target, TVTNodeAttachMode::amInsertBefore, false);
    } else {
        MoveTo(dragged, target, TVTNodeAttachMode::amInsertAfter, false);
    }
    LiveUpdate();
    return true;
}

void TColumnSettingsTree::StoreWidth(PVirtualNode node) {
    TColumnData* column = ColumnOf(node);
    if (column == nullptr || !Hooks.TypedWidth)
        return;
    if (const std::optional<int> width = Hooks.TypedWidth())
        column->Width = *width;
}

void TColumnSettingsTree::StoreFocusedWidth() {
    if (FocusedNode() == nullptr)
        return;
    StoreWidth(FocusedNode());
    LiveUpdate();
}

void TColumnSettingsTree::LiveUpdate() {
    if (Hooks.LiveUpdate)
        Hooks.LiveUpdate();
}

// ---- the calls for window code

std::unique_ptr<TBaseVirtualTree> MakeColumnSettingsTree(ITreeViewHost* host) {
    return std::make_unique<TColumnSettingsTree>(host);
}

void SetColumnSettingsHooks(TBaseVirtualTree& tree, TColumnSettingsHooks hooks) {
    SettingsTree(tree).Hooks = std::move(hooks);
}

void AddColumnSetting(TBaseVirtualTree& tree, const TColumnData& column) {
    SettingsTree(tree).AddColumn(column);
}

std::vector<TColumnData> ColumnSettingsOf(TBaseVirtualTree& tree) {
    return SettingsTree(tree).Columns();
}

void StoreFocusedColumnWidth(TBaseVirtualTree& tree) {
    SettingsTree(tree).StoreFocusedWidth();
}

bool DragColumnSetting(TBaseVirtualTree& tree, int dragged, int target) {
    TColumnSettingsTree& list = SettingsTree(tree);
    auto nth = [&list](int index) {
        PVirtualNode node = list.GetFirstChild(nullptr);
        for (int i = 0; node != nullptr && i < index; ++i)
            node = list.GetNextSibling(node);
        return node;
    };
    const PVirtualNode node = nth(dragged);
    if (node == nullptr)
        return false;
    list.DragAllowed(node);
    return list.DropOnto(target < 0 ? nullptr : nth(target));
}

std::optional<int> ColumnWidthFromText(std::string_view text) {
    if (text.empty() || text.size() > 9 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const std::optional<std::int32_t> value = Int32FromText(text);
    if (!value || *value > std::numeric_limits<std::uint16_t>::max())
        return std::nullopt;
    return *value;
}

TWidthLineLayout WidthLineLayout(int formWidth, int label2Width, int editWidth, int label3Width) {
    TWidthLineLayout layout;
    layout.Label2Left = (formWidth - (label2Width + label3Width + editWidth)) / 2 - 8;
    layout.EditLeft = layout.Label2Left + label2Width + 4;
    layout.Label3Left = layout.EditLeft + editWidth + 4;
    layout.CheckBoxLeft = layout.Label2Left;
    return layout;
}

} // namespace tarvola
