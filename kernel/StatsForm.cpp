#include "kernel/StatsForm.h"

#include "forms/Layout.h"

#include <string>

namespace tarvola {

namespace {

// Posted when the window closed, so that the owner's OnClosed runs after the close and may free it.
constexpr UINT kClosedMessage = WM_APP + 1;

constexpr int kOwnerOffsetX = 100;
constexpr int kOwnerOffsetY = -50;

const TFormLayout kStatsLayout{
    {{"Caption", "Kernel Statistics"},
     {"BorderStyle", "bsToolWindow"},
     {"BorderIcons", ""},
     {"FormStyle", "fsStayOnTop"},
     {"ClientWidth", "143"},
     {"ClientHeight", "98"}},
    {
        {"TLabel",
         "Lbl_Heading",
         "",
         8,
         6,
         127,
         13,
         {{"Caption", "Number of Impulses"}, {"Font.Style", "Bold"}}},
        {"TLabel", "Lbl_Left", "", 16, 28, 40, 13, {{"Caption", "Left"}}},
        {"TLabel", "Lbl_LeftIs", "", 60, 28, 8, 13, {{"Caption", "="}}},
        {"TLabel", "Lbl_NmbrLeft", "", 74, 28, 62, 13, {{"AutoSize", "False"}, {"Caption", "1"}}},
        {"TLabel", "Lbl_Right", "", 16, 48, 40, 13, {{"Caption", "Right"}}},
        {"TLabel", "Lbl_RightIs", "", 60, 48, 8, 13, {{"Caption", "="}}},
        {"TLabel", "Lbl_NmbrRight", "", 74, 48, 62, 13, {{"AutoSize", "False"}, {"Caption", "1"}}},
        {"TLabel", "Lbl_Total", "", 16, 76, 40, 13, {{"Caption", "Total"}}},
        {"TLabel", "Lbl_TotalIs", "", 60, 76, 8, 13, {{"Caption", "="}}},
        {"TLabel", "Lbl_TotalNmbr", "", 74, 76, 62, 13, {{"AutoSize", "False"}, {"Caption", "2"}}},
        {"TTimer", "MasterTimer", "", 0, 0, 0, 0, {{"Interval", "75"}, {"Enabled", "False"}}},
    }};

} // namespace

TobjStatsForm::TobjStatsForm(TComponent* owner) : TForm(owner), stealth_(*this) {
    LoadLayout(kStatsLayout);
    Lbl_NmbrLeft = &Find<TLabel>("Lbl_NmbrLeft");
    Lbl_NmbrRight = &Find<TLabel>("Lbl_NmbrRight");
    Lbl_TotalNmbr = &Find<TLabel>("Lbl_TotalNmbr");
    MasterTimer = &Find<TTimer>("MasterTimer");
    Bind(MasterTimer->OnTimer, this, &TobjStatsForm::Mstr_OnTimer);
    Bind(OnClose, this, &TobjStatsForm::StatsClose);
    Bind(OnResize, this, &TobjStatsForm::GetBounds);
    if (const auto* placeOf = dynamic_cast<const TControl*>(owner))
        SetBounds(placeOf->Left() + kOwnerOffsetX, placeOf->Top() + kOwnerOffsetY, Width(), Height());
    SetVisible(true);
    stealth_.Start();
}

void TobjStatsForm::SetNmbrLeft(std::int32_t count) {
    counts_.SetLeft(count);
    ShowCounts();
}

void TobjStatsForm::SetNmbrRight(std::int32_t count) {
    counts_.SetRight(count);
    ShowCounts();
}

void TobjStatsForm::ShowCounts() {
    Lbl_NmbrLeft->SetCaption(std::to_string(counts_.Left()));
    Lbl_NmbrRight->SetCaption(std::to_string(counts_.Right()));
    Lbl_TotalNmbr->SetCaption(std::to_string(counts_.Total()));
}

void TobjStatsForm::Mstr_OnTimer(TObject&) {
    stealth_.MasterTick();
}

void TobjStatsForm::Delay_OnTimer(TObject&) {
    stealth_.DelayTick();
}

void TobjStatsForm::GetBounds(TObject&) {
    stealth_.UpdateBounds();
}

void TobjStatsForm::StatsClose(TObject&, TCloseAction&) {
    stealth_.Close();
    MasterTimer->OnTimer = nullptr;
    if (delayTimer_ != nullptr)
        delayTimer_->OnTimer = nullptr;
    PostMessageA(Handle(), kClosedMessage, 0, 0);
}

// Runs as the last thing of a message of its own: the handler may free this window.
void TobjStatsForm::FireClosed() {
    const TNotifyEvent closed = OnClosed;
    if (closed)
        closed(*this);
}

void TobjStatsForm::ChildNotified(bool created) {
    if (stealth_.ChildChanged(created) && OnChild)
        OnChild(*this, stealth_.ChildCount() >= 1);
}

LRESULT TobjStatsForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kClosedMessage:
        FireClosed();
        return 0;
    case WM_PARENTNOTIFY:
        if (LOWORD(wParam) == WM_CREATE || LOWORD(wParam) == WM_DESTROY)
            ChildNotified(LOWORD(wParam) == WM_CREATE);
        break;
    case WM_ENTERMENULOOP:
        stealth_.MenuLoop(true);
        break;
    case WM_EXITMENULOOP:
        stealth_.MenuLoop(false);
        break;
    default:
        break;
    }
    return TForm::WndProc(message, wParam, lParam);
}

// ---- The stealth host

TScreenPoint TobjStatsForm::CursorPos() {
    POINT point{};
    if (!GetCursorPos(&point))
        return {};
    return {point.x, point.y};
}

TScreenBounds TobjStatsForm::WindowBounds() {
    RECT rect{};
    GetWindowRect(Handle(), &rect);
    return {rect.left, rect.top, rect.right, rect.bottom};
}

void TobjStatsForm::StartMasterTimer(unsigned interval) {
    MasterTimer->SetInterval(interval);
    MasterTimer->SetEnabled(true);
}

void TobjStatsForm::StopMasterTimer() {
    MasterTimer->SetEnabled(false);
}

void TobjStatsForm::StartDelayTimer(unsigned interval) {
    if (delayTimer_ == nullptr) {
        delayTimer_ = &Create<TTimer>();
        delayTimer_->SetEnabled(false);
        delayTimer_->OnTimer = [this](TObject& sender) { Delay_OnTimer(sender); };
    }
    // Stopped first, so that a pending hide starts its new interval afresh.
    delayTimer_->SetEnabled(false);
    delayTimer_->SetInterval(interval);
    delayTimer_->SetEnabled(true);
}

void TobjStatsForm::StopDelayTimer() {
    if (delayTimer_ != nullptr)
        delayTimer_->SetEnabled(false);
}

} // namespace tarvola
