// The progress window of a processing run (TobjProgressMeter) and the run itself (TobjProcessRun), as the
// kernel designer's PrepareProcess and Process use them.
//
// The convolution runs on worker threads while the GUI thread keeps the progress window current: about a
// hundred times per run it asks whether the pointer rests on the "Hover mouse to pause." panel (then the
// user is asked whether to halt) and advances the bar and the time left. No message loop runs meanwhile,
// so the window draws its changes at once; the other windows of the program take no input until the run
// ends, and the process and thread priorities are raised for it. All of that is undone on every exit.
//
//   TobjProcessRun run;                                  // a member of the designer
//   run.Prepare(designerForm, *FormatFields, *SignalView, *OutputView);   // PrepareProcess
//   SetProcessOK(run.Run(model.LeftKernel, model.RightKernel));           // Process
#pragma once

#include "forms/ComCtrls.h"
#include "forms/ExtCtrls.h"
#include "forms/Form.h"
#include "forms/StdCtrls.h"
#include "kernel/ProcessProgress.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

namespace tarvola {

struct TobjAudioInfo;
class TobjHistData;
class TobjMultiMemStrm;

class TobjProgressMeter : public TForm {
public:
    // Centred on its owner form.
    explicit TobjProgressMeter(TComponent* owner);

    // After the window is shown: draws it at once, takes the run's units of work and the halt callback,
    // and notes where the hover panel stands on the screen.
    void Start(std::int64_t total, std::function<void()> onHalt);
    // One hundredth of the work done: the bar and the time left move on and are drawn at once.
    void Step();
    // True when the pointer was strictly inside the hover panel; the user was then asked whether to halt,
    // and Yes called the halt callback.
    bool CheckHover();

    // Where the pointer is, in screen coordinates (the system's pointer unless a test sets another).
    std::function<POINT()> CursorPosition;
    // Seconds of a monotonic clock (the performance counter unless a test sets another).
    std::function<double()> Clock;

    const TProgressEstimate& Estimate() const { return estimate_; }
    const TScreenRect& HoverRect() const { return hoverRect_; }

    TStaticText* StaticText1 = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* Lbl_Time = nullptr;
    TProgressBar* ProgressBar1 = nullptr;
    TPanel* Panel1 = nullptr;

    static constexpr TColor kAskingColour = 0xE8E8E8;
    static constexpr const char* kHaltQuestion = "Do you wish to halt processing?";

private:
    std::function<void()> onHalt_;
    TProgressEstimate estimate_;
    TScreenRect hoverRect_;
};

// For the length of a run: the process and this thread at high priority, and every other enabled window
// of this thread disabled. The destructor gives back the priorities and enables those windows again.
class TProcessingGuard {
public:
    explicit TProcessingGuard(HWND keepEnabled);
    ~TProcessingGuard();
    TProcessingGuard(const TProcessingGuard&) = delete;
    TProcessingGuard& operator=(const TProcessingGuard&) = delete;

private:
    DWORD priorityClass_;
    int threadPriority_;
    std::vector<HWND> disabled_;
};

// One processing run of the kernel designer: Prepare shows the progress window; Run convolves the signal
// with the two kernels into the output, gives activation back to the window that had it at Prepare and
// frees the progress window.
class TobjProcessRun : private IRunProgress {
public:
    TobjProcessRun();
    ~TobjProcessRun() override;
    TobjProcessRun(const TobjProcessRun&) = delete;
    TobjProcessRun& operator=(const TobjProcessRun&) = delete;

    // Takes the signal's format and views and shows the progress window over `owner`. The views must stay
    // until Run; the output view must be as large as the signal's.
    void Prepare(TForm& owner, const TobjAudioInfo& format, TobjMultiMemStrm& signalView,
                 TobjMultiMemStrm& outputView);
    // Convolves the left channel with `left` and the right one with `right` (the kernels are read, not
    // changed) and frees the progress window, on every exit. True when the run went to its end; after a
    // halt the output is partly written. Raises std::invalid_argument for a signal it cannot process and
    // std::logic_error without Prepare.
    bool Run(const TobjHistData& left, const TobjHistData& right);

    // The halt callback of the progress window (the designer's HaltProcessing).
    void Halt() { halted_ = true; }
    bool Halted() const override { return halted_; }

    // The progress window while a run is prepared or running, else nullptr.
    TobjProgressMeter* ProgressWindow() const { return meter_.get(); }
    // Called with the progress window once it is made, before it is shown (tests set its seams here).
    std::function<void(TobjProgressMeter&)> OnMeterMade;
    // Worker threads of the engine; 0: one per core.
    unsigned Threads = 0;

private:
    bool CheckHover() override;
    void Step() override;

    std::unique_ptr<TobjProgressMeter> meter_;
    TActivationKeeper activeBeforeRun_;
    ConvolutionSignal signal_;
    bool prepared_ = false;
    bool halted_ = false;
};

} // namespace tarvola
