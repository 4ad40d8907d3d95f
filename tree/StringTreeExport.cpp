// The string tree's side of the exports: the nodes of a text source, the layout from the tree and its header,
// and the cells' texts and fonts from the owner.
#include "tree/StringTree.h"

#include "tree/Header.h"

namespace tarvola {

class TCustomVirtualStringTree::TExportCells : public IExportCells {
public:
    explicit TExportCells(TCustomVirtualStringTree& tree) : tree_(tree) {}

    std::wstring CellText(PVirtualNode node, TColumnIndex column) override {
        return tree_.GetText(node, column);
    }

    TTextFont CellFont(PVirtualNode node, TColumnIndex column) override {
        IStringTreeCanvas& canvas = tree_.CanvasOrNull();
        const TTextFont saved = canvas.Font;
        canvas.Font = tree_.Look.Font;
        tree_.DoPaintText(node, canvas, column, TVSTTextType::ttNormal);
        const TTextFont result = canvas.Font;
        canvas.Font = saved;
        return result;
    }

private:
    TCustomVirtualStringTree& tree_;
};

std::vector<PVirtualNode> TCustomVirtualStringTree::GetRenderNodes(TVSTTextSourceType source) {
    std::vector<PVirtualNode> nodes;
    const auto walk = [&nodes](PVirtualNode node, auto next) {
        for (; node != nullptr; node = next(node))
            nodes.push_back(node);
    };
    switch (source) {
    case TVSTTextSourceType::tstAll:
        walk(GetFirst(), [this](PVirtualNode n) { return GetNext(n); });
        break;
    case TVSTTextSourceType::tstInitialized:
        walk(GetFirstInitialized(), [this](PVirtualNode n) { return GetNextInitialized(n); });
        break;
    case TVSTTextSourceType::tstSelected:
        walk(GetFirstSelected(), [this](PVirtualNode n) { return GetNextSelected(n); });
        break;
    case TVSTTextSourceType::tstCutCopySet:
        walk(GetFirstCutCopy(), [this](PVirtualNode n) { return GetNextCutCopy(n); });
        break;
    case TVSTTextSourceType::tstVisible:
        walk(GetFirstVisible(), [this](PVirtualNode n) { return GetNextVisible(n); });
        break;
    }
    return nodes;
}

TExportLayout TCustomVirtualStringTree::GetExportLayout() {
    TExportLayout layout;
    const TVTHeader& header = Header();
    if (header.UseColumns()) {
        for (TColumnIndex index : header.Columns().GetVisibleColumns()) {
            const TVirtualTreeColumn& column = header.Columns()[index];
            TExportColumn exported;
            exported.Index = index;
            exported.Caption = column.Text();
            exported.Width = column.Width();
            exported.Alignment = column.Alignment();
            exported.RightToLeft = column.BiDiMode() != TBiDiMode::bdLeftToRight;
            exported.ParentColor = column.Has(coParentColor);
            exported.Color = column.Color();
            layout.Columns.push_back(exported);
        }
    }
    layout.MainColumn = header.MainColumn();
    layout.TreeFont = Look.Font;
    const THeaderFont& headerFont = header.Font();
    layout.HeaderFont = TTextFont{headerFont.Name, headerFont.Height,
                                  static_cast<std::uint32_t>(headerFont.Style), headerFont.Color};
    layout.TreeColor = Look.Color;
    layout.TreeAlignment = Look.Alignment;
    layout.TreeRightToLeft = Look.RightToLeft;
    layout.HeaderHeight = header.Height();
    layout.Margin = Margin;
    layout.Indent = Indent;
    layout.Border = Look.Border;
    layout.BorderWidth = Look.BorderWidth;
    layout.SolidGridLines = Look.SolidGridLines;
    layout.HorzGridLines = Look.ShowHorzGridLines;
    layout.VertGridLines = Look.ShowVertGridLines;
    layout.PixelsPerInch = Look.PixelsPerInch;
    layout.ClientWidth = Host().ClientWidth();
    return layout;
}

namespace {

std::vector<TExportNode> ExportNodes(TBaseVirtualTree& tree, const std::vector<PVirtualNode>& nodes) {
    std::vector<TExportNode> result;
    result.reserve(nodes.size());
    for (PVirtualNode node : nodes)
        result.push_back(TExportNode{node, static_cast<int>(TBaseVirtualTree::GetNodeLevel(node)),
                                     static_cast<int>(tree.NodeHeight(node))});
    return result;
}

} // namespace

std::string TCustomVirtualStringTree::ExportText(TVSTTextSourceType source, char separator,
                                                 const TExportPlatform& platform) {
    TExportCells cells(*this);
    return tarvola::ExportText(GetExportLayout(), ExportNodes(*this, GetRenderNodes(source)), cells,
                               separator, platform);
}

std::wstring TCustomVirtualStringTree::ExportUnicodeText(TVSTTextSourceType source, wchar_t separator) {
    TExportCells cells(*this);
    return tarvola::ExportUnicodeText(GetExportLayout(), ExportNodes(*this, GetRenderNodes(source)), cells,
                                      separator);
}

std::string TCustomVirtualStringTree::ExportHTML(TVSTTextSourceType source, const std::wstring& caption,
                                                 const TExportPlatform& platform) {
    TExportCells cells(*this);
    return tarvola::ExportHTML(GetExportLayout(), ExportNodes(*this, GetRenderNodes(source)), cells, caption,
                               platform);
}

std::string TCustomVirtualStringTree::ExportRTF(TVSTTextSourceType source, const TExportPlatform& platform) {
    TExportCells cells(*this);
    return tarvola::ExportRTF(GetExportLayout(), ExportNodes(*this, GetRenderNodes(source)), cells, platform);
}

} // namespace tarvola
