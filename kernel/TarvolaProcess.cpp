#include "kernel/TarvolaProcess.h"

#include "audio/AudioInfoStructures.h"
#include "audio/Streams.h"
#include "forms/Dialogs.h"
#include "forms/Layout.h"
#include "kernel/KrnlDsgnTypes.h"

#include <stdexcept>
#include <utility>

namespace tarvola {
namespace {

const TFormLayout kProgressLayout{
    {{"Caption", "Tarvola"},
     {"BorderStyle", "bsDialog"},
     {"Position", "poOwnerFormCenter"},
     {"ClientWidth", "324"},
     {"ClientHeight", "135"}},
    {
        {"TStaticText",
         "StaticText1",
         "",
         12,
         12,
         300,
         28,
         {{"Caption", "Processing..."},
          {"Alignment", "taCenter"},
          {"Font.Name", "Verdana"},
          {"Font.Height", "-21"},
          {"Font.Style", "Bold"}}},
        {"TPanel", "Panel1", "", 12, 52, 137, 26, {{"Caption", "Hover mouse to pause."}}},
        {"TLabel", "Label1", "", 176, 58, 60, 13, {{"Caption", "Time left:"}}},
        {"TLabel", "Lbl_Time", "", 240, 58, 72, 13, {{"Caption", "0:00:00"}}},
        {"TProgressBar",
         "ProgressBar1",
         "",
         12,
         96,
         300,
         18,
         {{"Min", "1"}, {"Max", "100"}, {"Position", "1"}, {"Smooth", "True"}, {"Step", "1"}}},
    }};

double PerformanceSeconds() {
    LARGE_INTEGER frequency{};
    LARGE_INTEGER counter{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

POINT SystemCursorPosition() {
    POINT point{};
    GetCursorPos(&point);
    return point;
}

} // namespace

// ---- TobjProgressMeter

TobjProgressMeter::TobjProgressMeter(TComponent* owner)
    : TForm(owner), CursorPosition(SystemCursorPosition), Clock(PerformanceSeconds) {
    LoadLayout(kProgressLayout);
    SetBorderIcons(0);
    StaticText1 = &Find<TStaticText>("StaticText1");
    Label1 = &Find<TLabel>("Label1");
    Lbl_Time = &Find<TLabel>("Lbl_Time");
    ProgressBar1 = &Find<TProgressBar>("ProgressBar1");
    Panel1 = &Find<TPanel>("Panel1");
}

void TobjProgressMeter::Start(std::int64_t total, std::function<void()> onHalt) {
    // No message loop runs during the run: draw everything now.
    Panel1->Repaint();
    StaticText1->Repaint();
    Repaint();
    onHalt_ = std::move(onHalt);
    // The panel's real place on the screen, whatever the caption and border metrics.
    RECT panel{};
    GetWindowRect(Panel1->Handle(), &panel);
    hoverRect_ = {panel.left, panel.top, panel.right, panel.bottom};
    estimate_.Start(total, Clock());
}

void TobjProgressMeter::Step() {
    if (ProgressBar1->Position() < ProgressBar1->Max())
        ProgressBar1->SetPosition(ProgressBar1->Position() + 1);
    estimate_.Step(Clock());
    Lbl_Time->SetCaption(estimate_.TimeLeftText());
    Lbl_Time->Update();
    ProgressBar1->Update();
}

bool TobjProgressMeter::CheckHover() {
    const POINT cursor = CursorPosition();
    const bool inside = StrictlyInside(hoverRect_, cursor.x, cursor.y);
    if (inside) {
        Panel1->SetColor(kAskingColour);
        Panel1->Update();
        const TModalResult answer = MessageDlg(kHaltQuestion, TMsgDlgType::mtConfirmation, mbYes | mbNo);
        if (answer == mrYes && onHalt_)
            onHalt_();
    }
    Panel1->SetColor(clBtnFace);
    Panel1->Update();
    return inside;
}

// ---- TProcessingGuard

namespace {

struct DisableContext {
    HWND keep;
    std::vector<HWND>* disabled;
};

BOOL CALLBACK DisableThreadWindow(HWND window, LPARAM context) {
    auto& c = *reinterpret_cast<DisableContext*>(context);
    if (window != c.keep && IsWindowVisible(window) && IsWindowEnabled(window)) {
        EnableWindow(window, FALSE);
        c.disabled->push_back(window);
    }
    return TRUE;
}

} // namespace

TProcessingGuard::TProcessingGuard(HWND keepEnabled)
    : priorityClass_(GetPriorityClass(GetCurrentProcess())),
      threadPriority_(GetThreadPriority(GetCurrentThread())) {
    DisableContext context{keepEnabled, &disabled_};
    EnumThreadWindows(GetCurrentThreadId(), DisableThreadWindow, reinterpret_cast<LPARAM>(&context));
    SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS);
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
}

TProcessingGuard::~TProcessingGuard() {
    SetThreadPriority(GetCurrentThread(), threadPriority_ == THREAD_PRIORITY_ERROR_RETURN
                                              ? THREAD_PRIORITY_NORMAL
                                              : threadPriority_);
    SetPriorityClass(GetCurrentProcess(), priorityClass_ != 0 ? priorityClass_ : NORMAL_PRIORITY_CLASS);
    for (HWND window : disabled_)
        if (IsWindow(window))
            EnableWindow(window, TRUE);
}

// ---- TobjProcessRun

TobjProcessRun::TobjProcessRun() = default;
TobjProcessRun::~TobjProcessRun() = default;

void TobjProcessRun::Prepare(TForm& owner, const TobjAudioInfo& format, TobjMultiMemStrm& signalView,
                             TobjMultiMemStrm& outputView) {
    halted_ = false;
    prepared_ = false;
    meter_.reset();
    if (outputView.Size() < signalView.Size())
        throw std::invalid_argument("The output buffer is smaller than the signal.");
    signal_ = ConvolutionSignal{signalView.Memory(), outputView.Memory(),
                                static_cast<std::size_t>(signalView.Size()), format.BytesPerSample,
                                format.Channels};
    CheckSignal(signal_);
    // The window the user started the run from (the main window's Process) gets the keyboard back at the
    // end: the progress window belongs to the designer, which the system would activate when it goes.
    activeBeforeRun_ = TActivationKeeper();
    meter_ = std::make_unique<TobjProgressMeter>(&owner);
    if (OnMeterMade)
        OnMeterMade(*meter_);
    meter_->Show();
    meter_->Start(ProcessedSamples(signal_), [this] { Halt(); });
    prepared_ = true;
}

bool TobjProcessRun::Run(const TobjHistData& left, const TobjHistData& right) {
    // The progress window goes on every exit, after the other windows are enabled again (the guard below
    // goes first) and the window active before the run is activated again.
    struct FreeMeter {
        TobjProcessRun& run;
        ~FreeMeter() {
            run.activeBeforeRun_.GiveBack();
            run.meter_.reset();
            run.prepared_ = false;
        }
    } freeMeter{*this};
    if (!prepared_ || !meter_)
        throw std::logic_error("Process without PrepareProcess");
    const std::vector<ConvolutionRecord> leftRecords = ConvolutionRecords(left);
    const std::vector<ConvolutionRecord> rightRecords = ConvolutionRecords(right);
    ConvolutionOutcome outcome = ConvolutionOutcome::Halted;
    {
        const TProcessingGuard guard(meter_->Handle());
        outcome = RunConvolution(signal_, leftRecords, rightRecords, *this, Threads);
    }
    return outcome == ConvolutionOutcome::Completed && !halted_;
}

bool TobjProcessRun::CheckHover() {
    return meter_->CheckHover();
}

void TobjProcessRun::Step() {
    meter_->Step();
}

} // namespace tarvola
