// The tree as a control of the form layer: it owns a tree core and stands behind both of its ports, the
// view port (repaints, timers, the worker's state message) and the control port (re-creating the window,
// OLE drop registration, visual styles). Its window styles come from TreeCreateParams; while the window
// lives and toAcceptOLEDrop is set, the window is registered as an OLE drop target.
#pragma once

#include "forms/Controls.h"
#include "tree/TreeControlPort.h"
#include "tree/TreePaintEnvironment.h"
#include "tree/TreeViewHost.h"
#include "tree/VirtualTrees.h"

#include <functional>
#include <memory>
#include <optional>

struct IDropTarget;

namespace tarvola {

class TTreePainter;

class TVirtualTreeControl : public TCustomControl, public ITreeViewHost, public ITreeControlPort {
public:
    // Makes the tree core the control owns (descendant trees answer their own); the default makes a base
    // tree.
    using TTreeFactory = std::function<std::unique_ptr<TBaseVirtualTree>(ITreeViewHost* host)>;
    explicit TVirtualTreeControl(TComponent* owner, const TTreeFactory& factory = {});
    ~TVirtualTreeControl() override;

    TBaseVirtualTree& Tree() const { return *tree_; }
    bool Ctl3D() const { return ctl3D_; }
    // Both re-create the window.
    void SetCtl3D(bool value);
    bool RightToLeft() const { return rightToLeft_; }
    void SetRightToLeft(bool value);
    bool DropTargetRegistered() const { return dropRegistered_; }

    // --- ITreeViewHost
    bool HasWindow() const override { return HandleAllocated(); }
    int ClientWidth() const override { return TWinControl::ClientWidth(); }
    int ClientHeight() const override { return TWinControl::ClientHeight(); }
    TCanvas* Canvas() override { return nullptr; }
    void InvalidateRows(int top, int bottom) override;
    void InvalidateAll() override;
    void UpdateScrollBars(bool) override {}
    void SetRedraw(bool enabled) override;
    void StartTimer(unsigned id, unsigned milliseconds) override;
    void StopTimer(unsigned id) override;
    void SendStateMessage(std::uint32_t enter, std::uint32_t leave) override;
    void WaitForWorker(const std::function<bool()>& busy) override;

    // --- ITreeControlPort
    void RecreateWindow() override { RecreateWnd(); }
    void RegisterDropTarget() override;
    void RevokeDropTarget() override;
    bool VisualStylesEnabled() const override;
    void RedrawFrame() override;
    void RebuildButtonImages() override;
    void RebuildLineImages() override;
    void UpdateWindow() override { Update(); }
    void SlideStep(const TToggleSlide& slide, std::uint32_t step, std::uint32_t stepSize) override;

protected:
    void CreateParams(TCreateParams& params) override;
    // After the window is made: themes, the drop registration, the scroll bars.
    void InitializeHandle() override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // The window goes: the worker stops reading, the delayed notifications and the drop registration end.
    void WindowDestroying();

    bool oleInitialized_ = false;
    std::unique_ptr<TBaseVirtualTree> tree_;
    IDropTarget* dropTarget_ = nullptr;
    bool dropRegistered_ = false;
    bool ctl3D_ = true;
    bool rightToLeft_ = false;

    // --- Painting (TreePaintControl.cpp)
public:
    // Paints window (tree coordinates) of the tree into dc with window's top-left at target, with the paint
    // option bits of tree/TreePaintLayout.h.
    void PaintTree(HDC dc, const TTreeRect& window, POINT target, std::uint8_t paintOptions);
    // Image lists and the background picture the rows show (not owned; null: none).
    void SetImages(HIMAGELIST images);
    void SetStateImages(HIMAGELIST images);
    void SetCustomCheckImages(HIMAGELIST images);
    void SetBackground(HBITMAP picture);
    // The rubber band (tree coordinates) while the mouse handling runs one; empty or no answer: no band.
    std::function<std::optional<TTreeRect>()> RubberBandSource;
    // The drop mode of a drag over the tree; empty: none.
    std::function<TDropMode()> DropModeSource;

private:
    std::optional<LRESULT> HandlePaintMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Paints the part updateRect (client coordinates) of the client area into dc.
    void PaintUpdateRect(HDC dc, const RECT& updateRect);
    void PaintFrame();
    TTreePaintEnvironment PaintEnvironment();
    std::shared_ptr<TTreePainter> painter_;
    std::shared_ptr<TThemeServices> theme_;
    HIMAGELIST images_ = nullptr;
    HIMAGELIST stateImages_ = nullptr;
    HIMAGELIST customCheckImages_ = nullptr;
    HBITMAP background_ = nullptr;
};

} // namespace tarvola
