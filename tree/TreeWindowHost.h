// The Win32 side of a tree's window port: a hidden window that receives the worker's state message
// (0x8020) and the delayed-notification timers, repaints and switches redrawing. It stands for the tree
// window until that window exists, which then takes its place behind the same port.
#pragma once

#include "forms/UtilityWindow.h"
#include "tree/TreeViewHost.h"

#include <windows.h>

namespace tarvola {

class TBaseVirtualTree;

constexpr UINT WM_CHANGESTATE = WM_APP + 32; // 0x8020

class TTreeWindowHost : public ITreeViewHost {
public:
    TTreeWindowHost();
    // The tree that receives the window's messages (set before the tree is used; the host outlives it).
    void Attach(TBaseVirtualTree* tree) { tree_ = tree; }
    HWND Handle() const { return window_.Handle(); }

    bool HasWindow() const override { return true; }
    int ClientWidth() const override { return 0; }
    int ClientHeight() const override { return 0; }
    TCanvas* Canvas() override { return nullptr; }
    void InvalidateRows(int top, int bottom) override;
    void InvalidateAll() override;
    // The tree keeps its ranges and offsets in step (its bars live in memory: this window shows none).
    void UpdateScrollBars(bool doRepaint) override;
    void SetRedraw(bool enabled) override;
    void StartTimer(unsigned id, unsigned milliseconds) override;
    void StopTimer(unsigned id) override;
    // Worker thread: a sent message, so it returns once the GUI thread applied the states.
    void SendStateMessage(std::uint32_t enter, std::uint32_t leave) override;
    // GUI thread: handles sent messages only. Input, paint, timers and posted notifications (which could
    // change the tree under the operation that waits) stay queued, and so does WM_QUIT.
    void WaitForWorker(const std::function<bool()>& busy) override;

private:
    std::optional<LRESULT> Handle(UINT message, WPARAM wParam, LPARAM lParam);

    TBaseVirtualTree* tree_ = nullptr;
    TUtilityWindow window_;
};

} // namespace tarvola
