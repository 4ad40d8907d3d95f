// The tree window's header: it lives in the window's frame and takes its share of the window's messages
// before the tree does (presses, releases and double clicks on it, the captured moves of a resize or a
// column drag, its cursor, its hover timer, Escape and focus loss).
#include "tree/AutoScroll.h"
#include "tree/HeaderWindow.h"
#include "tree/TreeControl.h"

namespace tarvola {

// The header over the tree's window; a press on the header ends the tree's own pending mouse work.
class TVirtualTreeControl::THeaderWindow : public THeaderWindowAdapter {
public:
    THeaderWindow(TVirtualTreeControl& control, HWND window)
        : THeaderWindowAdapter(window, control.Tree().Header()), control_(control) {}

    void CancelTreeMouseWork() override {
        if (THintController* hints = control_.HintController())
            hints->CancelHint();
        control_.StopTimer(ScrollTimer);
        control_.StopTimer(EditTimer);
        control_.Tree().DoStateChange(
            {}, {TreeState::tsScrolling, TreeState::tsScrollPending, TreeState::tsEditPending});
    }

private:
    TVirtualTreeControl& control_;
};

void TVirtualTreeControl::ConnectHeaderWindow() {
    headerWindow_ = std::make_unique<THeaderWindow>(*this, Handle());
}

void TVirtualTreeControl::DisconnectHeaderWindow() {
    headerWindow_.reset();
}

bool TVirtualTreeControl::OfferToHeader(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (HeaderMouseHook)
        return HeaderMouseHook(message, wParam, lParam, result);
    if (!headerWindow_)
        return false;
    const bool taken = headerWindow_->HandleMessage(message, wParam, lParam, result);
    // Losing the focus ends a resize or a drag, but the tree still has to hear that the focus went.
    return taken && message != WM_KILLFOCUS;
}

} // namespace tarvola
