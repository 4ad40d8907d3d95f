// The tree's own hint window: it measures the hint or the cut-off cell text (a tooltip lies exactly over the
// cell's text), captures the screen under itself, and shows itself at once, fading in or sliding down,
// with a soft shadow where blending is available. A running animation handles messages between its steps;
// the window, the tree and the control may all go meanwhile, and the animation then stops without
// touching them.
#pragma once

#include "forms/Hints.h"
#include "tree/VirtualTrees.h"

#include <cstdint>
#include <memory>

namespace tarvola {

struct TVTHintData;

// True at program start and whenever no tree hint window may be painted: a tree hint window was destroyed,
// or a tree's window went while it animated; false once one is made or hidden.
bool& HintWindowDestroyed();

class TVirtualTreeHintWindow : public THintWindow {
public:
    TVirtualTreeHintWindow();
    ~TVirtualTreeHintWindow() override;

    // The class a tree names in its hint request.
    static const THintWindowClass& WindowClass();

    TRect CalcHintRect(int maxWidth, const std::wstring& hint, void* data) override;
    void ActivateHint(TRect rect, const std::wstring& hint) override;
    bool IsHintMsg(const MSG& message) override;

    // The window's copy of the hint data (reset when the window hides).
    const TVTHintData& HintData() const { return *data_; }
    // The tree and the text of that copy (empty while hidden).
    TBaseVirtualTree* HintTree() const;
    const std::wstring& HintText() const;
    int TextHeight() const { return textHeight_; }

protected:
    void CreateParams(TParams& params) override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC dc) override;

private:
    class TPixelBitmap;
    // The tree of the data while it lives, else nullptr.
    TBaseVirtualTree* LiveTree() const;
    int Shadow() const;
    THintAnimationType EffectiveAnimation() const;
    bool AnimationStep(std::uint32_t step, std::uint32_t stepSize);
    void InternalPaint(HDC target, std::uint32_t step, std::uint32_t stepSize);
    void DrawHintPicture();
    void CaptureScreen(const TRect& bounds);
    TRect MeasureTooltip(TBaseVirtualTree& tree, int shadow);
    TRect MeasureHint(int maxWidth, int shadow);

    std::unique_ptr<TVTHintData> data_;
    std::weak_ptr<bool> treeAlive_;
    std::unique_ptr<TPixelBitmap> background_, draw_, blend_;
    int textHeight_ = 0;
    bool activating_ = false;
    THintAnimationType animation_{};
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace tarvola
