#include "tree/TreeWindowHost.h"

#include "tree/TreeViewMessages.h"
#include "tree/VirtualTrees.h"

namespace tarvola {

TTreeWindowHost::TTreeWindowHost()
    : window_(
          [this](UINT message, WPARAM wParam, LPARAM lParam) { return Handle(message, wParam, lParam); }) {}

std::optional<LRESULT> TTreeWindowHost::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (tree_ == nullptr)
        return std::nullopt;
    if (message == WM_CHANGESTATE) {
        tree_->HandleStateMessage(static_cast<std::uint32_t>(wParam), static_cast<std::uint32_t>(lParam));
        return 0;
    }
    if (message == WM_TIMER && (wParam == ChangeTimer || wParam == StructureChangeTimer)) {
        tree_->HandleChangeTimer(static_cast<unsigned>(wParam));
        return 0;
    }
    return AnswerTreeViewMessage(*tree_, message, wParam, lParam);
}

void TTreeWindowHost::InvalidateRows(int top, int bottom) {
    RECT rows{0, top, 0x7FFF, bottom};
    InvalidateRect(Handle(), &rows, FALSE);
}

void TTreeWindowHost::InvalidateAll() {
    InvalidateRect(Handle(), nullptr, FALSE);
}

void TTreeWindowHost::UpdateScrollBars(bool doRepaint) {
    if (tree_ != nullptr)
        tree_->UpdateScrollBars(doRepaint);
}

void TTreeWindowHost::SetRedraw(bool enabled) {
    SendMessageW(Handle(), WM_SETREDRAW, enabled ? TRUE : FALSE, 0);
}

void TTreeWindowHost::StartTimer(unsigned id, unsigned milliseconds) {
    SetTimer(Handle(), id, milliseconds, nullptr);
}

void TTreeWindowHost::StopTimer(unsigned id) {
    KillTimer(Handle(), id);
}

void TTreeWindowHost::SendStateMessage(std::uint32_t enter, std::uint32_t leave) {
    SendMessageW(Handle(), WM_CHANGESTATE, enter, leave);
}

void TTreeWindowHost::WaitForWorker(const std::function<bool()>& busy) {
    MSG message;
    while (busy()) {
        // Peeking delivers the messages other threads sent to this thread, and nothing is removed.
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        if (busy())
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_SENDMESSAGE);
    }
}

} // namespace tarvola
