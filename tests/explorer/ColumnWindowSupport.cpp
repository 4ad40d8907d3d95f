#include "tests/explorer/ColumnWindowSupport.h"

#include "audio/Streams.h"
#include "explorer/ColumnFormDialog.h"
#include "explorer/ColumnMenuModel.h"
#include "tree/Header.h"

namespace tarvola::test {

namespace {

TCustomVirtualExplorerTree& Explorer(TBaseVirtualTree& tree) {
    return dynamic_cast<TCustomVirtualExplorerTree&>(tree);
}

} // namespace

std::vector<THeaderColumnFacts> HeaderColumns(TBaseVirtualTree& tree) {
    std::vector<THeaderColumnFacts> facts;
    const TVirtualTreeColumns& columns = tree.Header().Columns();
    for (int i = 0; i < columns.Count(); ++i)
        facts.push_back({columns[i].Text(), columns[i].Width(), columns[i].Position(),
                         columns[i].Has(coVisible), columns[i].Alignment() == TAlignment::taRightJustify});
    return facts;
}

std::vector<std::uint8_t> HeaderBytes(TBaseVirtualTree& tree) {
    TMemoryStream stream;
    tree.Header().SaveToStream(stream);
    return std::vector<std::uint8_t>(stream.Memory(), stream.Memory() + stream.Size());
}

bool HeaderVisible(TBaseVirtualTree& tree) {
    return tree.Header().Has(hoVisible);
}

int ShellColumnCount(TBaseVirtualTree& tree) {
    return Explorer(tree).ShellColumnCount;
}

TColumnIndex SortColumn(TBaseVirtualTree& tree) {
    return tree.Header().SortColumn();
}

bool SortedAscending(TBaseVirtualTree& tree) {
    return tree.Header().SortDirection() == TSortDirection::sdAscending;
}

void ClickHeader(TBaseVirtualTree& tree, TColumnIndex column, TShiftState shift) {
    tree.HeaderBridge().DoHeaderClick(column, TMouseButton::mbLeft, shift, 0, 0);
}

void SetColumnWidth(TBaseVirtualTree& tree, TColumnIndex column, int width) {
    tree.Header().Columns()[column].SetWidth(width);
}

void SetColumnVisibleFromMenu(TBaseVirtualTree& tree, TColumnIndex column, bool visible) {
    if (tree.Header().Columns()[column].Has(coVisible) != visible)
        ToggleColumnFromMenu(Explorer(tree), column);
}

void UsePersistentColumnsAndMenu(TBaseVirtualTree& tree) {
    TCustomVirtualExplorerTree& explorer = Explorer(tree);
    explorer.MiscOptions = explorer.MiscOptions.With(TVETMiscOption::toPersistentColumns);
    explorer.ShellOptions = explorer.ShellOptions.With(TVETShellOption::toShellColumnMenu);
}

std::vector<std::wstring> ColumnMenuCaptions(TBaseVirtualTree& tree) {
    std::vector<std::wstring> captions;
    for (const TColumnMenuEntry& entry : ColumnMenuEntries(Explorer(tree)))
        captions.push_back((entry.Checked ? L"[x] " : L"[ ] ") + entry.Caption);
    return captions;
}

void EditColumnsInDialog(TBaseVirtualTree& tree) {
    EditColumnSettings(Explorer(tree),
                       [](std::vector<TColumnData>& settings, const TApplyColumnSettings& apply) {
                           return RunColumnSettingsDialog(nullptr, settings, apply);
                       });
}

std::wstring CellText(TBaseVirtualTree& tree, PVirtualNode node, TColumnIndex column) {
    return Explorer(tree).GetText(node, column);
}

} // namespace tarvola::test
