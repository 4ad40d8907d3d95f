#include "tools/TreePaintDemoTree.h"

#include "tree/Header.h"
#include "tree/StringTree.h"
#include "tree/StringTreeGdiCanvas.h"
#include "tree/TreeOptions.h"
#include "tree/TreeSettings.h"

#include <string>

namespace tarvola::demo {
namespace {

class TDemoTree : public TVirtualStringTree {
public:
    explicit TDemoTree(ITreeViewHost* host)
        : TVirtualStringTree(host), measure_(CreateCompatibleDC(nullptr)) {
        canvas_ = std::make_unique<TGdiStringTreeCanvas>(measure_);
        SetTextCanvas(canvas_.get());
    }
    ~TDemoTree() override {
        SetTextCanvas(nullptr);
        canvas_.reset();
        DeleteDC(measure_);
    }

protected:
    void DoGetText(PVirtualNode node, TColumnIndex column, TVSTTextType, std::wstring& text) override {
        const std::uint32_t level = GetNodeLevel(node);
        switch (column) {
        case 0:
            text = (level == 0 ? L"Group " : L"Item ") + std::to_wstring(node->Index);
            break;
        case 1:
            text = std::to_wstring(node->Index * 7 + level * 1000);
            break;
        default:
            text = level == 0 ? L"folder" : L"leaf";
            break;
        }
    }

private:
    HDC measure_;
    std::unique_ptr<TGdiStringTreeCanvas> canvas_;
};

} // namespace

std::unique_ptr<TBaseVirtualTree> MakeDemoTree(ITreeViewHost* host) {
    return std::make_unique<TDemoTree>(host);
}

void DressDemoTree(TBaseVirtualTree& tree, bool classic) {
    TVirtualTreeColumns& columns = tree.Header().Columns();
    const wchar_t* titles[] = {L"Name", L"Value", L"Kind"};
    const int widths[] = {240, 120, 120};
    for (int i = 0; i < 3; ++i) {
        TVirtualTreeColumn& column = columns.Add();
        column.SetText(titles[i]);
        column.SetWidth(widths[i]);
    }
    tree.Header().SetOptions(tree.Header().Options() | hoVisible);
    TCustomVirtualTreeOptions& options = tree.TreeOptions();
    options.SetMiscOptions(options.MiscOptions().With(TVTMiscOption::toCheckSupport));
    TVTPaintOptions paint = options.PaintOptions().With(TVTPaintOption::toShowVertGridLines);
    paint = paint.With(TVTPaintOption::toShowHorzGridLines);
    options.SetPaintOptions(classic ? paint.Without(TVTPaintOption::toThemeAware) : paint);
    options.SetSelectionOptions(options.SelectionOptions().With(TVTSelectionOption::toMultiSelect));
    tree.SetRootNodeCount(1000);
    for (PVirtualNode group = tree.GetFirst(); group != nullptr; group = tree.GetNextSibling(group))
        tree.SetChildCount(group, 9);
    for (PVirtualNode node = tree.GetFirst(); node != nullptr; node = tree.GetNext(node))
        tree.SetCheckType(node, TCheckType::ctCheckBox);
    PVirtualNode first = tree.GetFirst();
    tree.SetExpanded(first, true);
    tree.SetExpanded(tree.GetNextSibling(tree.GetNextSibling(first)), true);
    tree.SetCheckState(tree.GetFirstChild(first), TCheckState::csCheckedNormal);
    PVirtualNode focused = tree.GetNextSibling(tree.GetFirstChild(first));
    tree.AddToSelection(focused);
    tree.SetFocusedNode(focused);
}

} // namespace tarvola::demo
