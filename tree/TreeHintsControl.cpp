// The tree control's side of the hint machinery: its hint controller, the answers to the hint requests, and
// the control's hint text kept in the tree.
#include "tree/HintWindow.h"
#include "tree/TreeControl.h"
#include "tree/TreeHints.h"

#include <algorithm>

namespace tarvola {

namespace {

std::wstring WideText(const std::string& text) {
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(std::max(length, 0)), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
    return wide;
}

THintPoint ToHintPoint(TPoint p) {
    return {p.X, p.Y};
}

TTreeRect ToTreeRect(const TRect& r) {
    return {r.Left, r.Top, r.Right, r.Bottom};
}

TRect ToFormsRect(const TTreeRect& r) {
    return TRect{r.Left, r.Top, r.Right, r.Bottom};
}

} // namespace

void TVirtualTreeControl::HintChanged() {
    tree_->ControlHint = WideText(Hint());
    TCustomControl::HintChanged();
}

std::optional<LRESULT> TVirtualTreeControl::HandleHintMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case CM_HINTSHOW:
        return AnswerHintShow(*reinterpret_cast<THintInfo*>(lParam));
    case CM_HINTSHOWPAUSE:
        if (auto* pause = reinterpret_cast<int*>(lParam))
            *pause = AnswerHintPause(*pause);
        return 0;
    case WM_MOUSELEAVE:
        // The area of the last hint may show a hint again once the mouse comes back.
        tree_->LastHintRect = {};
        break;
    case WM_DESTROY:
        // A hint animation of this tree must not paint any more.
        if (tree_->InState(TreeState::tsInAnimation))
            HintWindowDestroyed() = true;
        break;
    default:
        break;
    }
    if (!HandleAllocated())
        return std::nullopt;
    if (hints_ == nullptr || hints_->Control() != Handle())
        hints_ =
            std::make_unique<THintController>(Handle(), [this] { return GetShortHint(tree_->ControlHint); });
    hints_->MessagePassing(message, wParam, lParam);
    return std::nullopt;
}

LRESULT TVirtualTreeControl::AnswerHintShow(THintInfo& info) {
    THintControlFacts facts;
    facts.CursorPos = ToHintPoint(info.CursorPos);
    facts.HintPos = ToHintPoint(info.HintPos);
    facts.ClientOrigin = ToHintPoint(ClientToScreen(TPoint{0, 0}));
    facts.CursorRect = ToTreeRect(info.CursorRect);
    facts.HintStr = info.HintStr;
    // On a form, hints show while the program is active; elsewhere while the control has the focus.
    facts.HasFocus = ParentForm() != nullptr ? GetActiveWindow() != nullptr : Focused();
    facts.MouseCaptured = GetCapture() != nullptr;
    facts.ShowHint = ShowHint();
    facts.LeftButtonDown = tree_->InState(TreeState::tsLeftButtonDown);
    facts.ShortHint = GetShortHint(tree_->ControlHint);
    const THintDecision decision = DecideHint(GatherHintRequest(*tree_, facts));
    ApplyHintDecision(*tree_, decision);
    if (!decision.Decided)
        return 1;
    info.CursorRect = ToFormsRect(decision.CursorRect);
    info.HintPos = TPoint{decision.HintPos.X, decision.HintPos.Y};
    info.HintStr = decision.HintStr;
    if (decision.ShowHint && decision.Answer == 0) {
        info.HintWindowClass = TVirtualTreeHintWindow::WindowClass();
        info.HintData = &tree_->HintData();
    }
    return decision.Answer;
}

int TVirtualTreeControl::AnswerHintPause(int proposed) {
    POINT cursor{};
    GetCursorPos(&cursor);
    ::ScreenToClient(Handle(), &cursor);
    return HintPauseFor(*tree_, {cursor.x, cursor.y}, HintWindowDestroyed(), proposed);
}

} // namespace tarvola
