// "Kernel Statistics": a small stay-on-top tool window that shows how many impulses each channel's kernel
// holds, and their total. It keeps out of the way: once the pointer has been over it, it hides Delay ms
// after the pointer leaves and shows again (without taking the keyboard) when the pointer comes back over
// its place.
//
// The window shows itself, without activation, when it is made (do not call Show: that activates it). Its
// labels are drawn by the window itself, so they are no child windows and do not switch stealth off.
// When the user closes it (Alt+F4), its timers stop and OnClosed fires once the close is over: the owner
// frees it there and resets its menu item.
#pragma once

#include "forms/Form.h"
#include "forms/StdCtrls.h"
#include "forms/Timer.h"
#include "kernel/StatsWindowState.h"

#include <cstdint>
#include <functional>

namespace tarvola {

// Fired after a child window of the statistics window came or went.
using TOnOffEvent = std::function<void(TObject& sender, bool childExtant)>;

class TobjStatsForm : public TForm, private TStealthHost {
public:
    // Placed at the owner's Left + 100, Top - 50 (when the owner is a control).
    explicit TobjStatsForm(TComponent* owner);

    std::int32_t NmbrLeft() const { return counts_.Left(); }
    void SetNmbrLeft(std::int32_t count);
    std::int32_t NmbrRight() const { return counts_.Right(); }
    void SetNmbrRight(std::int32_t count);
    unsigned Delay() const { return stealth_.Delay(); }
    void SetDelay(unsigned delay) { stealth_.SetDelay(delay); }
    bool Stealth() const { return stealth_.Stealth(); }
    void SetStealth(bool stealth) { stealth_.SetStealth(stealth); }
    bool ChildEvents() const { return stealth_.ChildEvents(); }
    void SetChildEvents(bool childEvents) { stealth_.SetChildEvents(childEvents); }
    int ChildCount() const { return stealth_.ChildCount(); }
    bool NotYetEntered() const { return stealth_.NotYetEntered(); }

    TOnOffEvent OnChild;
    // The user closed the window; the owner may free it in this handler.
    TNotifyEvent OnClosed;

    TLabel* Lbl_NmbrLeft = nullptr;
    TLabel* Lbl_NmbrRight = nullptr;
    TLabel* Lbl_TotalNmbr = nullptr;
    TTimer* MasterTimer = nullptr;

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    int ShowCommand() const override { return SW_SHOWNOACTIVATE; }

private:
    void Mstr_OnTimer(TObject& sender);
    void Delay_OnTimer(TObject& sender);
    void StatsClose(TObject& sender, TCloseAction& action);
    void GetBounds(TObject& sender);
    void ShowCounts();
    void ChildNotified(bool created);
    void FireClosed();

    // The stealth host.
    TScreenPoint CursorPos() override;
    TScreenBounds WindowBounds() override;
    bool Showing() override { return Visible(); }
    void ShowQuietly() override { SetVisible(true); }
    void HideWindow() override { SetVisible(false); }
    void StartMasterTimer(unsigned interval) override;
    void StopMasterTimer() override;
    void StartDelayTimer(unsigned interval) override;
    void StopDelayTimer() override;

    TStatsCounts counts_;
    TStatsStealth stealth_;
    // Made on the first pending hide and kept stopped between hides: a timer cannot free itself from its
    // own tick.
    TTimer* delayTimer_ = nullptr;
};

} // namespace tarvola
