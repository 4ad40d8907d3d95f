// The tree as a control of the form layer: it owns a tree core and stands behind both of its ports, the
// view port (repaints, timers, the worker's state message) and the control port (re-creating the window,
// OLE drop registration, visual styles). Its window styles come from TreeCreateParams; while the window
// lives and toAcceptOLEDrop is set, the window is registered as an OLE drop target.
#pragma once

#include "forms/ChangeLink.h"
#include "forms/Controls.h"
#include "forms/Hints.h"
#include "tree/TreeControlPort.h"
#include "tree/TreeScrollWin32.h"
#include "tree/DragManager.h"
#include "tree/TreePaintEnvironment.h"
#include "tree/TreeResources.h"
#include "tree/TreeViewHost.h"
#include "tree/VirtualTrees.h"
#include "tree/WheelPanning.h"

#include <functional>
#include <memory>
#include <optional>

namespace tarvola {

class THeaderWindowAdapter;
struct TTextFont;
class TImageList;
class TTreeDragImage;
class TTreeMeasureCanvas;
class TPopupMenu;
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
    // Besides the framework's rule, not while the form is disabled or hidden at the window level (a modal
    // dialog disables its owner's window without the form hearing of it).
    bool CanFocus() const override;
    // Takes another tree control's settings: the tree's (TBaseVirtualTree::Assign) and the control's own
    // (colour, 3-D border, image lists, background, popup menu, tab stop). A read-only tree refuses.
    void Assign(const TVirtualTreeControl& source);

    // --- ITreeViewHost
    bool HasWindow() const override { return HandleAllocated(); }
    int ClientWidth() const override { return TWinControl::ClientWidth(); }
    int ClientHeight() const override { return TWinControl::ClientHeight(); }
    TCanvas* Canvas() override { return nullptr; }
    void InvalidateRows(int top, int bottom) override;
    void InvalidateAll() override;
    void UpdateScrollBars(bool doRepaint) override {
        if (tree_)
            tree_->UpdateScrollBars(doRepaint);
    }
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
    bool HasBackgroundPicture() const override { return background_ != nullptr; }
    void CheckImagesChanged() override { ImageListsChanged(); }

protected:
    void CreateParams(TCreateParams& params) override;
    // The control's font, colour and enabled state reach the tree, its header and its button images
    // (TreePaintControl.cpp).
    void FontChanged() override;
    void ColorChanged() override;
    void EnabledChanged() override;
    // After the window is made: themes, the drop registration, the scroll bars.
    void InitializeHandle() override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // The window goes: the worker stops reading, the delayed notifications and the drop registration end.
    void WindowDestroying();
    // The mouse handling's auto-scroll and wheel-panning calls go to the tree's motion.
    void ConnectMouseToMotion();

    // The check images, utility images and cursors every tree shares, for as long as this control lives.
    TTreeResourcesUse resources_;
    // What a string tree measures its texts with while no other canvas is set; it outlives the tree.
    std::unique_ptr<TTreeMeasureCanvas> measure_;
    bool oleInitialized_ = false;
    std::unique_ptr<TBaseVirtualTree> tree_;
    bool dropRegistered_ = false;
    bool ctl3D_ = true;
    bool rightToLeft_ = false;

    // --- Keyboard (TreeKeyboardWin32.cpp)
protected:
    // Whether the focus went to a window hosting an OLE client site at the message's mouse position, so that
    // the form would forget this tree as its active control. This program embeds no such sites.
    virtual bool FocusLostToOleClientSite(POINT /*messagePos*/) const { return false; }

private:
    // Key, character, dialog-code and focus messages; false leaves the message to the default handling.
    bool KeyboardMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Scroll bars, sizing and the non-client area (TreeScrollWin32.cpp).
    std::unique_ptr<TTreeScrollWindow> scrollWindow_;

    // --- Auto-scroll, wheel and wheel panning (WheelPanning.cpp)
public:
    // The pointer, clock and panning window the tree's motion uses.
    TTreeMotionWindow& Motion() { return motion_; }

private:
    TTreeMotionWindow motion_{*this};
    // --- Mouse input and hot tracking (TreeMouseWin32.cpp)
public:
    // The control's own context menu (null: none; a right click then shows the node's menu from
    // OnGetPopupMenu).
    TPopupMenu* PopupMenu = nullptr;
    // The menu of a node (asked for the node, then its parents while nothing comes and askParent stays
    // true), or of the empty space (node nil, column -1). Client coordinates.
    using TGetPopupMenuEvent = std::function<TPopupMenu*(TBaseVirtualTree&, PVirtualNode, TColumnIndex,
                                                         TTreeMousePoint client, bool& askParent)>;
    TGetPopupMenuEvent OnGetPopupMenu;
    // Shows a menu at a screen point. Showing a menu is modal: tests put their own here.
    std::function<void(TPopupMenu&, int screenX, int screenY)> PopupHook;
    // Stands in for the window's header at every message the header would see first (unset: the header
    // itself); true: it took the message, with the answer.
    std::function<bool(UINT, WPARAM, LPARAM, LRESULT&)> HeaderMouseHook;
    // Auto-scroll and wheel panning, for their owners to connect (unset: nothing); the drag loop (null:
    // the platform's).
    struct TMouseSeams {
        std::function<bool()> CanAutoScroll;
        std::function<void(int x, int y)> UpdateAutoScroll;
        std::function<void(TTreeMousePoint client)> StartWheelPanning;
        std::function<void()> StopWheelPanning;
        std::function<void(int x, int y)> SetWheelPanningCursor;
        TDoDragDropFunction DoDragDrop = nullptr;
        std::function<void()> CancelHint;
    };
    TMouseSeams MouseSeams;

protected:
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseLeave() override;

private:
    class TMousePort;
    std::optional<LRESULT> HandleMouseMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT ButtonDown(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT ButtonUp(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT ButtonDblClick(UINT message, WPARAM wParam, LPARAM lParam);
    std::optional<LRESULT> SetCursorMessage(WPARAM wParam, LPARAM lParam);
    std::optional<LRESULT> ContextMenuMessage(WPARAM wParam, LPARAM lParam);
    LRESULT NCHitTestMessage(WPARAM wParam, LPARAM lParam);
    bool HeaderBusy() const;
    TPopupMenu* FindNodePopupMenu(PVirtualNode node, TColumnIndex column, TTreeMousePoint client);
    void PopupAt(TPopupMenu& menu, int screenX, int screenY);
    // Made at the first mouse message and handed to the tree.
    void EnsureMousePort();
    std::shared_ptr<TMousePort> mousePort_;
    // --- Drag and drop (TreeDragControl.cpp)
public:
    // The tree as a drop target: its owner answers OnDragOver and OnDragDrop here.
    TTreeDropTarget& DropTarget() const { return *dropRules_; }
    // The window's drag manager while it is registered as a drop target; null otherwise.
    TVTDragManager* DragManager() const { return dragManager_; }
    // The drag image of a drag from this tree while it runs; null otherwise.
    TTreeDragImage* DragImage() const { return dragImage_.get(); }

private:
    // The drop target follows the tree's options; the tree learns when it is the drop target and when the
    // expand timer fires; the painter shows the drop mark.
    void ConnectDragAndDrop();
    // Runs the platform's drag loop for the tree's selection; the effect of the drop (none: cancelled).
    DWORD RunOleDrag();
    // The picture of the dragged rows around the pointer, shown by the shell's helper or by the tree.
    std::unique_ptr<TTreeDragImage> PrepareDragImage(IDataObject* dataObject);
    std::unique_ptr<TTreeDropTarget> dropRules_;
    TVTDragManager* dragManager_ = nullptr;
    std::unique_ptr<TTreeDragImage> dragImage_;
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
    // --- Header (TreeHeaderControl.cpp)
private:
    class THeaderWindow; // a THeaderWindowAdapter
    // The header's share of the window's messages, offered before the tree's own handling: true when the
    // header took the message, with its answer.
    bool OfferToHeader(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // The header follows the window: made with it, gone with it.
    void ConnectHeaderWindow();
    void DisconnectHeaderWindow();
    std::unique_ptr<THeaderWindowAdapter> headerWindow_;
    // --- Painting (TreePaintControl.cpp)
public:
    // Paints window (tree coordinates) of the tree into dc with window's top-left at target, with the paint
    // option bits of tree/TreePaintLayout.h.
    void PaintTree(HDC dc, const TTreeRect& window, POINT target, std::uint8_t paintOptions);
    // Image lists the rows show (not owned; null: none). The control follows their changes, and a list that
    // goes is dropped; when the custom check images go, the check image kind falls back to ckLightCheck.
    TImageList* Images() const { return images_; }
    TImageList* StateImages() const { return stateImages_; }
    TImageList* CustomCheckImages() const { return customCheckImages_; }
    void SetImages(TImageList* images);
    void SetStateImages(TImageList* images);
    void SetCustomCheckImages(TImageList* images);
    // The check images in use: the global list of the check image kind, or the custom list with ckCustom
    // (null: none, e.g. ckCustom without a custom list).
    HIMAGELIST CheckImages() const;
    // The background picture (not owned; null: none).
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
    // The client area into dc at its origin (WM_PRINTCLIENT), and the whole window (WM_PRINT).
    void PrintClient(HDC dc);
    void PrintWindowInto(HDC dc, LPARAM flags);
    // Where the client area lies in the window (window coordinates), and the frame's inner right edge.
    struct TFrameGeometry {
        RECT Bounds{};
        RECT Client{};
        int InnerRight = 0;
    };
    TFrameGeometry FrameGeometry() const;
    // The header's font as a font to paint with.
    const TFont& HeaderFont();
    TFont headerFont_;
    TTextFont TreeTextFont() const;
    TTreePaintEnvironment PaintEnvironment();
    std::shared_ptr<TTreePainter> painter_;
    std::shared_ptr<TThemeServices> theme_;
    // The image lists' widths go to the tree's measures (hit tests, column widths, the band).
    void ImageListsChanged();
    void ConnectImageLinks();
    void SetImageList(TImageList*& slot, TChangeLink& link, TImageList* list);
    TImageList* images_ = nullptr;
    TImageList* stateImages_ = nullptr;
    TImageList* customCheckImages_ = nullptr;
    TChangeLink imagesLink_;
    TChangeLink stateImagesLink_;
    TChangeLink customCheckImagesLink_;
    HBITMAP background_ = nullptr;
};

} // namespace tarvola
