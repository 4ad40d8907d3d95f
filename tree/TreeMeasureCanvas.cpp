#include "tree/TreeMeasureCanvas.h"

#include <stdexcept>

namespace tarvola {

TTreeMeasureCanvas::TTreeMeasureCanvas() : dc_(CreateCompatibleDC(nullptr)) {
    if (dc_ == nullptr)
        throw std::runtime_error("No device context for measuring the tree's texts.");
    canvas_ = std::make_unique<TGdiStringTreeCanvas>(dc_);
}

TTreeMeasureCanvas::~TTreeMeasureCanvas() {
    canvas_.reset();
    DeleteDC(dc_);
}

} // namespace tarvola
