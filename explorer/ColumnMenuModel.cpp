#include "explorer/ColumnMenuModel.h"

#include "audio/Streams.h"
#include "tree/Header.h"
#include "tree/TreeGuards.h"

#include <algorithm>

namespace tarvola {

namespace {

bool Listed(const std::vector<TColumnMenuEntry>& entries, const std::wstring& caption) {
    return std::any_of(entries.begin(), entries.end(),
                       [&caption](const TColumnMenuEntry& entry) { return entry.Caption == caption; });
}

} // namespace

std::vector<TColumnMenuEntry> ColumnMenuEntries(TCustomVirtualExplorerTree& tree) {
    const TVirtualTreeColumns& columns = tree.Header().Columns();
    std::vector<TColumnMenuEntry> entries;
    if (tree.ColumnDetails != TColumnDetailType::cdShellColumns) {
        for (int i = 0; i < columns.Count(); ++i)
            entries.push_back({columns[i].Text(), columns[i].Has(coVisible), i});
        return entries;
    }
    bool overflow = false;
    for (int i = 0; i < columns.Count(); ++i) {
        const TVirtualTreeColumn& column = columns[i];
        const bool fits = !tree.ShellColumnState(i).secondaryUI &&
                          static_cast<int>(entries.size()) < ColumnMenuItemCount && !column.Text().empty() &&
                          !Listed(entries, column.Text());
        if (fits)
            entries.push_back({column.Text(), column.Has(coVisible), i});
        else
            overflow = true;
    }
    if (overflow) {
        entries.push_back({L"-", false, kColumnMenuSeparatorTag});
        entries.push_back({kColumnMenuMoreCaption, false, kColumnMenuMoreTag});
    }
    return entries;
}

void ToggleColumnFromMenu(TCustomVirtualExplorerTree& tree, TColumnIndex column) {
    TVirtualTreeColumns& columns = tree.Header().Columns();
    if (!columns.IsValidColumn(column))
        return;
    TVirtualTreeColumn& item = columns[column];
    item.SetOptions(item.Options() ^ coVisible);
    tree.StoreColumnStorage();
}

std::vector<TColumnData> ColumnSettingsFromHeader(const TVirtualTreeColumns& columns) {
    std::vector<TColumnData> settings;
    for (int position = 0; position < columns.Count(); ++position) {
        const TColumnIndex index = columns.ColumnFromPosition(position);
        if (!columns.IsValidColumn(index))
            continue;
        const TVirtualTreeColumn& column = columns[index];
        const bool listed = std::any_of(settings.begin(), settings.end(), [&column](const TColumnData& data) {
            return data.Title == column.Text();
        });
        if (column.Text().empty() || listed)
            continue;
        settings.push_back({column.Text(), column.Has(coVisible), column.Width(), index});
    }
    return settings;
}

void ApplyColumnSettings(TBaseVirtualTree& tree, const std::vector<TColumnData>& settings) {
    TVirtualTreeColumns& columns = tree.Header().Columns();
    tree.BeginUpdate();
    ScopeExit end([&tree] { tree.EndUpdate(); });
    int position = 0;
    for (const TColumnData& data : settings) {
        if (!columns.IsValidColumn(data.ColumnIndex))
            continue;
        TVirtualTreeColumn& column = columns[data.ColumnIndex];
        column.SetPosition(position++);
        column.SetOptions(data.Enabled ? column.Options() | coVisible : column.Options() & ~coVisible);
        column.SetWidth(data.Width);
    }
}

void EditColumnSettings(TCustomVirtualExplorerTree& tree, const TColumnSettingsDialog& dialog) {
    TMemoryStream saved;
    tree.Header().SaveToStream(saved);
    std::vector<TColumnData> settings = ColumnSettingsFromHeader(tree.Header().Columns());
    const TApplyColumnSettings apply = [&tree](const std::vector<TColumnData>& live) {
        ApplyColumnSettings(tree, live);
    };
    if (dialog && dialog(settings, apply)) {
        ApplyColumnSettings(tree, settings);
        tree.StoreColumnStorage();
        return;
    }
    saved.Seek(0, SeekOrigin::Beginning);
    tree.BeginUpdate();
    {
        ScopeExit end([&tree] { tree.EndUpdate(); });
        tree.Header().LoadFromStream(saved);
    }
    tree.Header().Invalidate(NoColumn);
    tree.Header().Tree().InvalidateTree();
}

} // namespace tarvola
