// What the explorer tree's column menu holds and does, apart from showing it: its items for the present
// header, a column item's click (the column shown or hidden, the layout stored), and "More ...", which
// lets the column settings dialog change the header: live while the dialog runs, kept after OK, and put
// back exactly as it was after Cancel. Portable; the menu window is ColumnMenu.h.
#pragma once

#include "explorer/ColumnFormData.h"
#include "explorer/VirtualExplorerTree.h"

#include <functional>
#include <string>
#include <vector>

namespace tarvola {

// One item of the column menu: a column (Tag its index), the separator ("-") or "More ..." (Tag -2).
struct TColumnMenuEntry {
    std::wstring Caption;
    bool Checked = false;
    int Tag = 0;
    friend bool operator==(const TColumnMenuEntry&, const TColumnMenuEntry&) = default;
};
constexpr int kColumnMenuSeparatorTag = -1;
inline const std::wstring kColumnMenuMoreCaption = L"More ...";

// With shell columns: the columns the shell does not keep for a secondary menu, up to
// ColumnMenuItemCount, each title once and none empty; when any column is left out, a separator and
// "More ...". Otherwise every header column.
std::vector<TColumnMenuEntry> ColumnMenuEntries(TCustomVirtualExplorerTree& tree);
// A column item's click: the column is shown when it was hidden and hidden when it was shown, and the
// layout stored.
void ToggleColumnFromMenu(TCustomVirtualExplorerTree& tree, TColumnIndex column);

// The dialog's list filled from a header: the columns in display order, without those whose title is empty
// or already listed.
std::vector<TColumnData> ColumnSettingsFromHeader(const TVirtualTreeColumns& columns);
// The list applied to the header: the p-th entry's column goes to position p with its visibility and
// width. Entries naming no column are passed over.
void ApplyColumnSettings(TBaseVirtualTree& tree, const std::vector<TColumnData>& settings);

// "More ...": after OK the list is applied and the layout stored; otherwise the header is read back from
// the copy saved before the dialog, so that it is exactly what it was.
void EditColumnSettings(TCustomVirtualExplorerTree& tree, const TColumnSettingsDialog& dialog);

} // namespace tarvola
