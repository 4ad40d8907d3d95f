// The narrow port through which the tree's core reaches its window: repaints, scroll bars, redraw, the
// delayed-notification timers, and the worker thread's hand-off of cache states. The Win32 tree window
// implements it; tests use a recording fake, and a tree without a window uses the silent NullTreeViewHost.
#pragma once

#include <cstdint>
#include <functional>

namespace tarvola {

class TCanvas;

class ITreeViewHost {
public:
    virtual ~ITreeViewHost() = default;

    virtual bool HasWindow() const = 0;
    virtual int ClientWidth() const = 0;
    virtual int ClientHeight() const = 0;
    // The canvas OnMeasureItem measures with (may be null without a window).
    virtual TCanvas* Canvas() = 0;

    // Repaints rows between two client y-coordinates (bottom excluded), or the whole control.
    virtual void InvalidateRows(int top, int bottom) = 0;
    virtual void InvalidateAll() = 0;
    virtual void UpdateScrollBars(bool doRepaint) = 0;
    virtual void SetRedraw(bool enabled) = 0;

    // Window timers by the tree's identifiers (5 change, 6 structure change, ...).
    virtual void StartTimer(unsigned id, unsigned milliseconds) = 0;
    virtual void StopTimer(unsigned id) = 0;

    // Worker thread side: hands the cache states to the GUI thread and waits until it applied them there
    // (the tree's HandleStateMessage); the bits are the state message's (1 stop, 2 use cache, 4 validating,
    // 8 validation needed).
    virtual void SendStateMessage(std::uint32_t enter, std::uint32_t leave) = 0;
    // GUI thread side: handles state messages the worker sends (and nothing else) while busy() holds.
    virtual void WaitForWorker(const std::function<bool()>& busy) = 0;
};

// The host of a tree that has no window: nothing to paint, no timers; it is never queued for the worker.
class NullTreeViewHost : public ITreeViewHost {
public:
    bool HasWindow() const override { return false; }
    int ClientWidth() const override { return 0; }
    int ClientHeight() const override { return 0; }
    TCanvas* Canvas() override { return nullptr; }
    void InvalidateRows(int, int) override {}
    void InvalidateAll() override {}
    void UpdateScrollBars(bool) override {}
    void SetRedraw(bool) override {}
    void StartTimer(unsigned, unsigned) override {}
    void StopTimer(unsigned) override {}
    void SendStateMessage(std::uint32_t, std::uint32_t) override {}
    void WaitForWorker(const std::function<bool()>&) override {}
};

} // namespace tarvola
