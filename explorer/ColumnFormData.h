// What the column settings dialog works on, reachable from window code: the dialog's list is a string tree
// whose nodes each hold one TColumnData, made by MakeColumnSettingsTree and handled through the calls below
// (the tree's own class lives in ColumnFormTree.h, which window code cannot include beside the form layer).
// Also the arithmetic of the dialog's width line. Portable.
#pragma once

#include "tree/VirtualTrees.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvola {

class ITreeViewHost;

// One column as the dialog lists it. In memory only: never streamed.
struct TColumnData {
    std::wstring Title;
    bool Enabled = false;         // the column is visible
    std::int32_t Width = 0;       // pixels
    std::int32_t ColumnIndex = 0; // the column's index in the view's header
    friend bool operator==(const TColumnData&, const TColumnData&) = default;
};

// What the list needs from its dialog: the width edit (its number; nullopt when it holds none) and the
// live update.
struct TColumnSettingsHooks {
    std::function<std::optional<int>()> TypedWidth;
    std::function<void(int width)> ShowWidth;
    std::function<void()> LiveUpdate;
};

// The column settings dialog as the column menu's "More ..." runs it: filled with settings, calling apply
// for each live change with the list as it stands, and answering true for OK with the final list in
// settings.
using TApplyColumnSettings = std::function<void(const std::vector<TColumnData>&)>;
using TColumnSettingsDialog =
    std::function<bool(std::vector<TColumnData>& settings, const TApplyColumnSettings& apply)>;

std::unique_ptr<TBaseVirtualTree> MakeColumnSettingsTree(ITreeViewHost* host);
// The calls below take a tree made by MakeColumnSettingsTree.
void SetColumnSettingsHooks(TBaseVirtualTree& tree, TColumnSettingsHooks hooks);
void AddColumnSetting(TBaseVirtualTree& tree, const TColumnData& column);
// The columns in the list's order.
std::vector<TColumnData> ColumnSettingsOf(TBaseVirtualTree& tree);
// Stores the edit's width into the focused node and updates the view live; nothing without a focused node
// or a number in the edit.
void StoreFocusedColumnWidth(TBaseVirtualTree& tree);

// A drag of the list's index-th node dropped onto the node at target (-1: the empty space below the rows),
// as the list's drop handling moves it; false when refused.
bool DragColumnSetting(TBaseVirtualTree& tree, int dragged, int target);

// A width as typed: digits only, at most 65535; nullopt for anything else (empty, pasted letters, too
// large), which keeps the old width.
std::optional<int> ColumnWidthFromText(std::string_view text);

// The width line ("The selected column should be" [edit] "pixels wide") centred in a form of formWidth.
struct TWidthLineLayout {
    int Label2Left = 0;
    int EditLeft = 0;
    int Label3Left = 0;
    int CheckBoxLeft = 0;
};
TWidthLineLayout WidthLineLayout(int formWidth, int label2Width, int editWidth, int label3Width);

} // namespace tarvola
