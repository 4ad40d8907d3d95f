// Paints any rectangle of a tree's content onto a device context. Every visible row is drawn into one
// reused off-screen bitmap a row high, in layers (background, cell selection, grid lines, tree lines,
// button, check, state and normal image, content, focus rectangle, drop mark, rubber band), and then copied
// to the target, so a paint never flickers; the space below the last row is filled at the end. What only
// the window knows comes in with the environment of each paint (tree/TreePaintEnvironment.h).
#pragma once

#include "tree/NodeDecorations.h"
#include "tree/TreePaintEnvironment.h"
#include "tree/TreePaintLayout.h"

#include <windows.h>

#include <commctrl.h>

#include <memory>

namespace tarvola {

class TCanvas;

class TTreePainter {
public:
    explicit TTreePainter(TBaseVirtualTree& tree) : tree_(tree) {}
    TTreePainter(const TTreePainter&) = delete;
    TTreePainter& operator=(const TTreePainter&) = delete;

    // Paints the part window (tree coordinates) of the tree onto target, window's top-left at targetOrigin.
    // tsPainting is set for the run; OnAfterPaint fires and the state is left also when a step fails.
    void PaintTree(TCanvas& target, const TTreeRect& window, POINT targetOrigin,
                   TVTInternalPaintOptions options, TPixelFormat pixelFormat,
                   const TTreePaintEnvironment& environment);

    // The expand buttons and the line brush follow their settings again on the next paint.
    void RebuildButtonImages() { buttonsValid_ = false; }
    void RebuildLineImages() { lineBrush_.reset(); }
    const TNodeButtonBitmaps& Buttons() const { return buttons_; }

private:
    friend class TTreePaintRun;
    // Makes the button bitmaps and the line brush for the current settings when they changed.
    void PrepareResources(const TTreePaintEnvironment& environment);

    TBaseVirtualTree& tree_;
    TNodeButtonBitmaps buttons_;
    TButtonBitmapStyle buttonStyle_;
    bool buttonsValid_ = false;
    std::unique_ptr<TDottedBrush> lineBrush_;
    TVTLineStyle lineStyle_ = TVTLineStyle::lsDotted;
};

} // namespace tarvola
