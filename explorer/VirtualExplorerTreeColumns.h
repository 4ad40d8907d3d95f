// The explorer tree's header columns: the column class that knows its built-in kind, the default widths of
// built-in and shell columns, the per-node width memory of the Ctrl and Shift header clicks, and the text
// colours of folders, files and compressed items. The tree's own part (building the header for its root,
// header clicks, the column layout stored per folder, painting the colours) is in
// VirtualExplorerTreeColumns.cpp. Everything here is portable.
#pragma once

#include "explorer/VirtualExplorerTypes.h"
#include "tree/Columns.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tarvola {

class TBaseVirtualTree;
class TCustomVirtualExplorerTree;

// The title a built-in column kind shows.
std::wstring ColumnDetailsTitle(TColumnDetails kind);
// The width a built-in column kind starts with.
int BuiltInColumnWidth(TColumnDetails kind);
// The width shell column `column` starts with, for a folder of the kind that offers columnCount columns.
int DefaultShellColumnWidth(TColumnFolderKind kind, int columnCount, int column);

// The column menu lists at most this many columns; the others are reached through "More ...".
constexpr int ColumnMenuItemCount = 8;
// The tag of the column menu's "More ..." item.
constexpr int kColumnMenuMoreTag = -2;

// A header column of an explorer tree. A new one is a "Name" column 200 wide.
class TVETColumn : public TVirtualTreeColumn {
public:
    // tree may be nullptr (a column that follows no tree keeps whatever kind it is given).
    TVETColumn(TVirtualTreeColumns& owner, TCustomVirtualExplorerTree* tree);

    TColumnDetails ColumnDetails() const { return details_; }
    // In a header of shell columns every column is a custom one: the kind becomes cdCustom and nothing else
    // changes. Otherwise the column takes the kind's title and (unless the tree is loading) its width.
    void SetColumnDetails(TColumnDetails kind);
    void Assign(const TVirtualTreeColumn& source) override;

private:
    TCustomVirtualExplorerTree* tree_;
    TColumnDetails details_ = TColumnDetails::cdFileName;
};

// The width memory of the header's Ctrl+click (widen to the content) and Shift+click (shrink to nothing)
// toggles: one entry per header column, grown to the column count on use.
class TColumnManager {
public:
    enum TToggleState : std::uint8_t { tsNone = 0, tsWidened = 1, tsShrunk = 2 };
    struct TColumnToggle {
        std::int32_t Width = 0; // the width before the toggle
        TToggleState State = tsNone;
    };

    explicit TColumnManager(TBaseVirtualTree& tree) : tree_(tree) {}

    // Widens the column to its widest visible content, or puts its width back when it is widened.
    void ToggleWidthMax(TColumnIndex column);
    // Shrinks the column to zero width, or puts its width back when it is shrunk.
    void ToggleWidthMin(TColumnIndex column);
    // What the manager remembers of a column (a column it never toggled: none).
    TColumnToggle Toggle(TColumnIndex column) const;

private:
    // nullptr for an index that names no header column.
    TColumnToggle* Entry(TColumnIndex column);

    TBaseVirtualTree& tree_;
    std::vector<TColumnToggle> toggles_;
};

// Colours of the explorer tree's texts; a change repaints the tree (OnChange).
class TVETColors {
public:
    static constexpr TVTColor kDefaultCompressed = 0xFF0000; // blue
    static constexpr TVTColor kDefaultFolder = 0;
    static constexpr TVTColor kDefaultFile = 0;

    TVTColor CompressedTextColor() const { return compressed_; }
    void SetCompressedTextColor(TVTColor value) { Set(compressed_, value); }
    TVTColor FolderTextColor() const { return folder_; }
    void SetFolderTextColor(TVTColor value) { Set(folder_, value); }
    TVTColor FileTextColor() const { return file_; }
    void SetFileTextColor(TVTColor value) { Set(file_, value); }
    void Assign(const TVETColors& source);

    std::function<void()> OnChange;

private:
    void Set(TVTColor& slot, TVTColor value);

    TVTColor compressed_ = kDefaultCompressed;
    TVTColor folder_ = kDefaultFolder;
    TVTColor file_ = kDefaultFile;
};

} // namespace tarvola
