// A string tree's measuring canvas of its own: a memory device context, so that texts have their widths
// in the tree's font whether or not a window or a paint is at hand. Windows only.
#pragma once

#include "tree/StringTreeGdiCanvas.h"

#include <windows.h>

#include <memory>

namespace tarvola {

class TTreeMeasureCanvas {
public:
    TTreeMeasureCanvas();
    ~TTreeMeasureCanvas();
    TTreeMeasureCanvas(const TTreeMeasureCanvas&) = delete;
    TTreeMeasureCanvas& operator=(const TTreeMeasureCanvas&) = delete;

    IStringTreeCanvas& Canvas() { return *canvas_; }

private:
    HDC dc_;
    // Made after the device context and gone before it (it selects its fonts into it).
    std::unique_ptr<TGdiStringTreeCanvas> canvas_;
};

} // namespace tarvola
