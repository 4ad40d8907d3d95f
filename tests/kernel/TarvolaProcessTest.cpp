// The progress window and a processing run through the designer protocol, with real windows.
#include "kernel/TarvolaProcess.h"

#include "audio/AudioInfoStructures.h"
#include "audio/Streams.h"
#include "forms/Application.h"
#include "forms/Dialogs.h"
#include "forms/Form.h"
#include "kernel/Convolution.h"
#include "kernel/CustomDSP.h"
#include "kernel/KrnlDsgnTypes.h"
#include "tests/kernel/KernelTestFolder.h"
#include "tests/support/ScriptedPrompts.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace tarvola {
namespace {

// Answers the halt question from a script and notes the panel's colour while it is asked.
class HaltPrompts : public TPromptSeam {
public:
    HaltPrompts() : previous_(SetPrompts(this)) {}
    ~HaltPrompts() override { SetPrompts(previous_); }
    HaltPrompts(const HaltPrompts&) = delete;
    HaltPrompts& operator=(const HaltPrompts&) = delete;

    TobjProgressMeter* meter = nullptr;
    TModalResult answer = mrNo;
    std::vector<TMessageRequest> asked;
    std::vector<TColor> panelColours;

    TModalResult Message(const TMessageRequest& request) override {
        asked.push_back(request);
        if (meter != nullptr)
            panelColours.push_back(meter->Panel1->Color());
        return answer;
    }
    TModalResult ShowModal(TForm& form) override { return form.RunModal(); }

private:
    TPromptSeam* previous_;
};

POINT CentreOf(const TScreenRect& r) {
    return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
}

class ProgressMeter : public ::testing::Test {
protected:
    ProgressMeter() : owner(nullptr), meter(&owner) {
        owner.SetClientSize(400, 300);
        owner.Show();
        meter.Clock = [this] { return now; };
        meter.CursorPosition = [this] { return cursor; };
        meter.Show();
        meter.Start(1000000, [this] { ++halts; });
        prompts.meter = &meter;
    }

    TForm owner;
    TobjProgressMeter meter;
    HaltPrompts prompts;
    double now = 0;
    POINT cursor{-1000, -1000};
    int halts = 0;
};

TEST_F(ProgressMeter, ShowsItsLayoutCentredOnItsOwner) {
    EXPECT_EQ(meter.Caption(), "Tarvola");
    EXPECT_EQ(meter.ClientWidth(), 324);
    EXPECT_EQ(meter.ClientHeight(), 135);
    EXPECT_EQ(meter.BorderIcons(), 0u);
    EXPECT_EQ(meter.StaticText1->Caption(), "Processing...");
    EXPECT_EQ(meter.Panel1->Caption(), "Hover mouse to pause.");
    EXPECT_EQ(meter.Label1->Caption(), "Time left:");
    EXPECT_EQ(meter.ProgressBar1->Min(), 1);
    EXPECT_EQ(meter.ProgressBar1->Max(), 100);
    EXPECT_EQ(meter.ProgressBar1->Position(), 1);
    RECT ownerRect{}, meterRect{};
    GetWindowRect(owner.Handle(), &ownerRect);
    GetWindowRect(meter.Handle(), &meterRect);
    EXPECT_NEAR((ownerRect.left + ownerRect.right) / 2, (meterRect.left + meterRect.right) / 2, 2);
    EXPECT_NEAR((ownerRect.top + ownerRect.bottom) / 2, (meterRect.top + meterRect.bottom) / 2, 2);
}

TEST_F(ProgressMeter, TheHoverAreaIsThePanelOnTheScreen) {
    RECT panel{};
    GetWindowRect(meter.Panel1->Handle(), &panel);
    EXPECT_EQ(meter.HoverRect().Left, panel.left);
    EXPECT_EQ(meter.HoverRect().Top, panel.top);
    EXPECT_EQ(meter.HoverRect().Right - meter.HoverRect().Left, 137);
    EXPECT_EQ(meter.HoverRect().Bottom - meter.HoverRect().Top, 26);
}

TEST_F(ProgressMeter, StepsMoveTheBarAndShowAFallingTimeLeft) {
    now = 10.0; // 10 s per hundredth
    meter.Step();
    EXPECT_EQ(meter.ProgressBar1->Position(), 2);
    EXPECT_EQ(meter.Estimate().Done(), 10000);
    EXPECT_EQ(meter.Lbl_Time->Caption(), "0:16:30");
    now = 20.0;
    meter.Step();
    EXPECT_EQ(meter.Lbl_Time->Caption(), "0:16:20");
    for (int i = 0; i < 200; ++i)
        meter.Step();
    EXPECT_EQ(meter.ProgressBar1->Position(), 100);
}

TEST_F(ProgressMeter, OnlyAPointerInsideThePanelAsksAndOnlyYesHalts) {
    const TScreenRect& r = meter.HoverRect();
    const struct {
        POINT cursor;
        TModalResult answer;
        bool inside;
        int halts;
    } cases[] = {
        {{r.Left, (r.Top + r.Bottom) / 2}, mrYes, false, 0}, // on the edge
        {{(r.Left + r.Right) / 2, r.Bottom}, mrYes, false, 0},
        {{r.Right + 5, r.Top + 5}, mrYes, false, 0},
        {CentreOf(r), mrNo, true, 0},
        {CentreOf(r), mrYes, true, 1},
    };
    for (const auto& c : cases) {
        halts = 0;
        prompts.asked.clear();
        prompts.panelColours.clear();
        cursor = c.cursor;
        prompts.answer = c.answer;
        EXPECT_EQ(meter.CheckHover(), c.inside) << c.cursor.x << "," << c.cursor.y;
        EXPECT_EQ(halts, c.halts);
        ASSERT_EQ(prompts.asked.size(), c.inside ? 1u : 0u);
        if (c.inside) {
            EXPECT_EQ(prompts.asked[0].text, "Do you wish to halt processing?");
            EXPECT_EQ(prompts.asked[0].buttons, mbYes | mbNo);
            EXPECT_EQ(prompts.panelColours[0], TobjProgressMeter::kAskingColour);
        }
        EXPECT_EQ(meter.Panel1->Color(), clBtnFace);
    }
}

// ---- A run through the designer protocol

// A designer that processes with the two kernels of the model, as the kernel designer does.
class TobjProcessingDesigner : public TobjCustomDSP {
public:
    explicit TobjProcessingDesigner(TComponent* owner) : TobjCustomDSP(owner) {}
    ~TobjProcessingDesigner() override { FormDestroy(); }

    void LoadPreset(const std::string&) override {}
    bool DeletePreset(const std::string&) override { return false; }
    bool SavePreset(const std::string&) override { return false; }
    void LoadState() override {}
    void SaveState() override {}
    void AcceptSettings() override {}
    void PrepareProcess() override { run.Prepare(*this, *FormatFields, *SignalView, *OutputView); }
    void Process() override {
        SetProcessOK(false);
        SetProcessOK(run.Run(Model().LeftKernel, Model().RightKernel));
    }

    // The kernels it processes with.
    KernelModel& Model() const { return model; }

    TobjProcessRun run;
    mutable KernelModel model;
};

// What the progress window showed at each question of a run.
struct Sighting {
    int position;
    std::string timeLeft;
    bool designerEnabled;
    bool mainEnabled;
    bool meterEnabled;
    DWORD priorityClass;
};

std::vector<std::uint8_t> RandomSamples(std::size_t bytes) {
    std::mt19937 random(7);
    std::vector<std::uint8_t> data(bytes);
    for (std::uint8_t& b : data)
        b = static_cast<std::uint8_t>(random());
    return data;
}

// The main window's side: a signal of 16-bit stereo frames, an output buffer the run writes, and the
// designer set up embedded as the main window sets it up.
class ProcessThroughProtocol : public ::testing::Test {
protected:
    static constexpr std::int32_t kFrames = 200000;

    ProcessThroughProtocol() : main(nullptr), designer(&main) {
        main.SetCaption("Main");
        main.SetClientSize(300, 100);
        main.Show();
        format.SetFormat(kFrames * 4, 2, 44100, 16, 2);
        signal = RandomSamples(static_cast<std::size_t>(format.DataBytes));
        output.assign(signal.size(), 0);
        signalView.SetPointer(signal.data(), static_cast<std::int64_t>(signal.size()));
        outputView.SetPointer(output.data(), static_cast<std::int64_t>(output.size()));
        designer.ShowButtons = false;
        designer.Embedded = true;
        designer.Setup(&format, &signalView, &outputView, folder.Path(), 0);
        designer.Show();

        Model().SelectChannel(1);
        Model().ResetToDefaults();
        std::mt19937 random(11);
        std::uniform_real_distribution<double> value(-0.4, 0.4);
        for (std::int32_t impulse = 1; impulse <= 600; impulse += 3) {
            TImpulseRec rec{value(random),
                            impulse,
                            impulse % 30 == 1 ? TSourceKind::Output : TSourceKind::Input,
                            {},
                            false};
            Model().LeftKernel.AddOrMerge(rec, TMergeMode::Overwrite);
            rec.Impulse = impulse + 1;
            Model().RightKernel.AddOrMerge(rec, TMergeMode::Overwrite);
        }
        Model().LeftKernel.SetKind(Model().LeftKernel.Find(0, 0, TFindMode::Exact), TSourceKind::Output);

        designer.run.OnMeterMade = [this](TobjProgressMeter& meter) {
            prompts.meter = &meter;
            meter.Clock = [this] { return clock += 1.0; };
            meter.CursorPosition = [this, &meter] {
                sightings.push_back(
                    {meter.ProgressBar1->Position(), meter.Lbl_Time->Caption(),
                     IsWindowEnabled(designer.Handle()) != FALSE, IsWindowEnabled(main.Handle()) != FALSE,
                     IsWindowEnabled(meter.Handle()) != FALSE, GetPriorityClass(GetCurrentProcess())});
                if (static_cast<int>(sightings.size()) == 1)
                    Screenshot(meter);
                const bool hover = haltAt > 0 && static_cast<int>(sightings.size()) >= haltAt;
                return hover ? CentreOf(meter.HoverRect()) : POINT{-1000, -1000};
            };
        };
    }

    // With TARVOLA_SCREENSHOT set to a file name, the screen under the progress window goes there as a BMP.
    static void Screenshot(TobjProgressMeter& meter) {
        const char* file = std::getenv("TARVOLA_SCREENSHOT");
        if (file == nullptr)
            return;
        RECT r{};
        GetWindowRect(meter.Handle(), &r);
        const int w = r.right - r.left;
        const int h = r.bottom - r.top;
        TBitmap bitmap(w, h);
        HDC screen = GetDC(nullptr);
        BitBlt(bitmap.DC(), 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
        ReleaseDC(nullptr, screen);
        std::FILE* out = std::fopen(file, "wb");
        if (out == nullptr)
            return;
        const std::uint32_t rowBytes = (static_cast<std::uint32_t>(w) * 3u + 3u) & ~3u;
        const std::uint32_t size = 54u + rowBytes * static_cast<std::uint32_t>(h);
        std::uint8_t header[54] = {'B', 'M'};
        const auto put = [&](int at, std::uint32_t v, int bytes) {
            for (int i = 0; i < bytes; ++i)
                header[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
        };
        put(2, size, 4);
        put(10, 54, 4);
        put(14, 40, 4);
        put(18, static_cast<std::uint32_t>(w), 4);
        put(22, static_cast<std::uint32_t>(h), 4);
        put(26, 1, 2);
        put(28, 24, 2);
        std::fwrite(header, 1, sizeof header, out);
        std::vector<std::uint8_t> row(rowBytes, 0);
        for (int y = h - 1; y >= 0; --y) {
            for (int x = 0; x < w; ++x) {
                const COLORREF c = bitmap.Pixel(x, y);
                row[3 * x] = GetBValue(c);
                row[3 * x + 1] = GetGValue(c);
                row[3 * x + 2] = GetRValue(c);
            }
            std::fwrite(row.data(), 1, row.size(), out);
        }
        std::fclose(out);
    }

    KernelModel& Model() const { return designer.Model(); }

    std::vector<std::uint8_t> Reference() const {
        std::vector<std::uint8_t> expected(signal.size());
        ConvolveReference({signal.data(), expected.data(), signal.size(), 2, 2},
                          ConvolutionRecords(Model().LeftKernel), ConvolutionRecords(Model().RightKernel));
        return expected;
    }

    KernelTestFolder folder;
    HaltPrompts prompts;
    TForm main;
    TobjProcessingDesigner designer;
    TobjAudioInfo format;
    std::vector<std::uint8_t> signal;
    std::vector<std::uint8_t> output;
    TobjMultiMemStrm signalView;
    TobjMultiMemStrm outputView;
    double clock = 0;
    int haltAt = 0; // the question at which the pointer rests on the panel; 0: never
    std::vector<Sighting> sightings;
};

TEST_F(ProcessThroughProtocol, AFullRunShowsTheWindowStepsAHundredTimesAndGivesTheReferenceBytes) {
    const std::vector<TImpulseRec> kernelBefore = Model().LeftKernel.Records();
    designer.PrepareProcess();
    ASSERT_NE(designer.run.ProgressWindow(), nullptr);
    EXPECT_TRUE(designer.run.ProgressWindow()->Visible());
    designer.Process();

    EXPECT_TRUE(designer.ProcessOK());
    EXPECT_EQ(designer.run.ProgressWindow(), nullptr);
    EXPECT_EQ(output, Reference());
    EXPECT_EQ(Model().LeftKernel.Records(), kernelBefore); // the impulse-zero Output record stays as it was
    EXPECT_TRUE(prompts.asked.empty());

    // The workers report as they go; the window is asked at least at the end.
    ASSERT_GE(sightings.size(), 1u);
    EXPECT_LE(sightings.size(), 100u);
    for (std::size_t i = 1; i < sightings.size(); ++i)
        EXPECT_GT(sightings[i].position, sightings[i - 1].position);
    EXPECT_EQ(sightings.front().timeLeft, "0:00:00");
    for (const Sighting& s : sightings) {
        EXPECT_FALSE(s.designerEnabled);
        EXPECT_FALSE(s.mainEnabled);
        EXPECT_TRUE(s.meterEnabled);
        EXPECT_EQ(s.priorityClass, static_cast<DWORD>(HIGH_PRIORITY_CLASS));
    }
    EXPECT_TRUE(IsWindowEnabled(designer.Handle()));
    EXPECT_TRUE(IsWindowEnabled(main.Handle()));
    EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), static_cast<DWORD>(NORMAL_PRIORITY_CLASS));
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_NORMAL);
}

TEST_F(ProcessThroughProtocol, TheEstimateFallsStepByStep) {
    designer.run.Threads = 1; // one job after another: a report for nearly every step
    designer.PrepareProcess();
    designer.Process();
    ASSERT_TRUE(designer.ProcessOK());
    std::vector<std::string> estimates;
    for (const Sighting& s : sightings)
        if (s.timeLeft != "0:00:00")
            estimates.push_back(s.timeLeft);
    // A question before each report's steps: about a hundred, the bar near its end at the last one.
    EXPECT_GE(sightings.size(), 50u);
    EXPECT_LE(sightings.size(), 100u);
    EXPECT_GE(sightings.back().position, 95);
    for (std::size_t i = 1; i < sightings.size(); ++i)
        EXPECT_GT(sightings[i].position, sightings[i - 1].position);
    // The fake clock ticks one second per reading.
    ASSERT_GE(estimates.size(), 10u);
    // h:mm:ss of the same length compare as text.
    for (std::size_t i = 1; i < estimates.size(); ++i)
        EXPECT_LE(estimates[i], estimates[i - 1]);
    EXPECT_LT(estimates.back(), estimates.front());
}

TEST_F(ProcessThroughProtocol, HoverAndYesHaltTheRunAndTheOutputIsDropped) {
    designer.run.Threads = 1;
    haltAt = 2;
    prompts.answer = mrYes;
    // The main window's side: the output is a copy of the signal until the run succeeds.
    designer.PrepareProcess();
    designer.Process();

    EXPECT_FALSE(designer.ProcessOK());
    EXPECT_TRUE(designer.run.Halted());
    ASSERT_EQ(prompts.asked.size(), 1u);
    EXPECT_EQ(sightings.size(), 2u);
    EXPECT_LT(sightings.back().position, 100);
    EXPECT_NE(output, Reference());
    EXPECT_EQ(designer.run.ProgressWindow(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(designer.Handle()));
    EXPECT_TRUE(IsWindowEnabled(main.Handle()));
    EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), static_cast<DWORD>(NORMAL_PRIORITY_CLASS));
}

TEST_F(ProcessThroughProtocol, HoverAndNoGoOnToTheEnd) {
    designer.run.Threads = 1; // reports after every block, however fast the run
    haltAt = 3;
    prompts.answer = mrNo;
    designer.PrepareProcess();
    designer.Process();
    EXPECT_TRUE(designer.ProcessOK());
    EXPECT_FALSE(prompts.asked.empty());
    EXPECT_EQ(output, Reference());
}

TEST_F(ProcessThroughProtocol, AnUnprocessableSignalIsRefusedBeforeAnythingShows) {
    std::vector<std::uint8_t> shortOutput(16);
    outputView.SetPointer(shortOutput.data(), 16);
    EXPECT_THROW(designer.PrepareProcess(), std::invalid_argument);
    EXPECT_EQ(designer.run.ProgressWindow(), nullptr);
    EXPECT_THROW(designer.Process(), std::logic_error);
    EXPECT_FALSE(designer.ProcessOK());
}

} // namespace
} // namespace tarvola
