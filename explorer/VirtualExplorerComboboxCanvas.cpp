// The drop-down trees' measuring canvas: a memory device context with the tree's font, so that a row's
// text has its width (the selection and the hit tests follow it). Windows only.
#include "explorer/VirtualExplorerComboboxTrees.h"
#include "tree/StringTree.h"
#include "tree/StringTreeGdiCanvas.h"

#include <windows.h>

namespace tarvola {

namespace {

class TMeasureCanvas {
public:
    TMeasureCanvas(TCustomVirtualStringTree& tree, HFONT font)
        : tree_(tree), dc_(CreateCompatibleDC(nullptr)),
          old_(font != nullptr ? SelectObject(dc_, font) : nullptr), canvas_(dc_) {
        tree_.SetTextCanvas(&canvas_);
    }
    ~TMeasureCanvas() {
        tree_.SetTextCanvas(nullptr);
        if (old_ != nullptr)
            SelectObject(dc_, old_);
        DeleteDC(dc_);
    }
    TMeasureCanvas(const TMeasureCanvas&) = delete;
    TMeasureCanvas& operator=(const TMeasureCanvas&) = delete;

private:
    TCustomVirtualStringTree& tree_;
    HDC dc_;
    HGDIOBJ old_;
    TGdiStringTreeCanvas canvas_;
};

} // namespace

std::shared_ptr<void> AttachMeasureCanvas(TBaseVirtualTree& tree, void* font) {
    return std::make_shared<TMeasureCanvas>(dynamic_cast<TCustomVirtualStringTree&>(tree),
                                            static_cast<HFONT>(font));
}

} // namespace tarvola
