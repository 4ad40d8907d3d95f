// The tree as a control of the form layer: it owns a tree core and stands behind both of its ports, the
// view port (repaints, timers, the worker's state message) and the control port (re-creating the window,
// OLE drop registration, visual styles). Its window styles come from TreeCreateParams; while the window
// lives and toAcceptOLEDrop is set, the window is registered as an OLE drop target.
#pragma once

#include "forms/Controls.h"
#include "forms/Hints.h"
#include "tree/TreeControlPort.h"
#include "tree/TreeViewHost.h"
#include "tree/VirtualTrees.h"

#include <functional>
#include <memory>
#include <optional>

struct IDropTarget;

namespace tarvola {

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
    void RebuildButtonImages() override {}
    void RebuildLineImages() override {}
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

    // --- Hints and tooltips (TreeHintsControl.cpp)
public:
    // The hint machinery of the current window (made with the window's first message).
    THintController* HintController() const { return hints_.get(); }

protected:
    bool HasOwnHints() const override { return true; }
    void HintChanged() override;

private:
    // Answers the hint requests and hands every message to the hint machinery; nothing for other messages.
    std::optional<LRESULT> HandleHintMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT AnswerHintShow(THintInfo& info);
    int AnswerHintPause(int proposed);
    std::unique_ptr<THintController> hints_;
};

} // namespace tarvola
