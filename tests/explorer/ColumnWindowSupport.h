// The explorer header's facts and actions for the window tests, whose form headers cannot sit beside the
// tree's column declarations in one source.
#pragma once

#include "explorer/VirtualExplorerTypes.h"
#include "forms/Events.h"
#include "tree/VirtualTrees.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarvola::test {

struct THeaderColumnFacts {
    std::wstring Text;
    int Width = 0;
    int Position = 0;
    bool Visible = false;
    bool RightAligned = false;
};

std::vector<THeaderColumnFacts> HeaderColumns(TBaseVirtualTree& tree);
std::vector<std::uint8_t> HeaderBytes(TBaseVirtualTree& tree);
bool HeaderVisible(TBaseVirtualTree& tree);
int ShellColumnCount(TBaseVirtualTree& tree);
TColumnIndex SortColumn(TBaseVirtualTree& tree);
bool SortedAscending(TBaseVirtualTree& tree);
// A click on a header column as the header's mouse handling reports it.
void ClickHeader(TBaseVirtualTree& tree, TColumnIndex column, TShiftState shift);
void SetColumnWidth(TBaseVirtualTree& tree, TColumnIndex column, int width);
// As the column menu's item does it (the layout is stored).
void SetColumnVisibleFromMenu(TBaseVirtualTree& tree, TColumnIndex column, bool visible);
// toPersistentColumns and toShellColumnMenu on.
void UsePersistentColumnsAndMenu(TBaseVirtualTree& tree);
// The column menu's captions and checks as it would show them now.
std::vector<std::wstring> ColumnMenuCaptions(TBaseVirtualTree& tree);
// "More ..." with the real dialog (run through the prompt seam).
void EditColumnsInDialog(TBaseVirtualTree& tree);
// The visible text of a row's cell.
std::wstring CellText(TBaseVirtualTree& tree, PVirtualNode node, TColumnIndex column);

} // namespace tarvola::test
