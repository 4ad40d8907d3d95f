// The main window with its kernel designer under Wine: the designer's place and start, a kernel drawn with
// the mouse processed end to end, the state file across two starts, and the designer's menus.
#include "app/uTarvola_Application.h"
#include "audio/Streams.h"
#include "forms/Application.h"
#include "forms/ComCtrls.h"
#include "forms/Menus.h"
#include "forms/StdCtrls.h"
#include "kernel/Convolution.h"
#include "kernel/GraphAxis.h"
#include "kernel/KernelDesigner.h"
#include "kernel/KernelUndoer.h"
#include "kernel/designers/ReverbDesignerForm.h"

#include "tests/support/AudioFileBytes.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScriptedFileDialogs.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/ScriptedShell.h"
#include "tests/support/TempFolder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace tarvola {
namespace {

using test::PumpPending;

constexpr std::uint32_t kRate = 44100;
constexpr std::size_t kFrames = 3000;

// A 16-bit stereo file at kRate.
std::vector<std::uint8_t> WaveFile(const std::vector<std::uint8_t>& data) {
    return audiotest::CanonicalWave(2, kRate, 16, data);
}

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

LPARAM At(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(x)), static_cast<WORD>(static_cast<SHORT>(y)));
}

// The left channel's and the right channel's samples as the reference loops compute them.
std::vector<std::uint8_t> Reference(const std::vector<std::uint8_t>& signal, const KernelModel& model) {
    std::vector<std::uint8_t> expected(signal);
    ConvolveReference({signal.data(), expected.data(), signal.size(), 2, 2},
                      ConvolutionRecords(model.LeftKernel), ConvolutionRecords(model.RightKernel));
    return expected;
}

class DesignerWiring : public ::testing::Test {
protected:
    DesignerWiring() {
        Application().Initialize();
        std::mt19937 random(11);
        signal_.resize(kFrames * 4);
        for (std::uint8_t& b : signal_)
            b = static_cast<std::uint8_t>(random());
        const std::vector<std::uint8_t> wave = WaveFile(signal_);
        wavePath_ = folder_.Write("in.wav", std::string(wave.begin(), wave.end())).string();
        Start();
    }
    ~DesignerWiring() override { window_.reset(); }

    // A start of the program in the test's folder.
    void Start() {
        window_ = std::make_unique<TobjTarvola>(nullptr, folder_.Folder());
        window_->Show();
        // The progress window asks to halt only when the pointer rests on it: keep the pointer away.
        Designer().ProcessRun().OnMeterMade = [](TobjProgressMeter& meter) {
            meter.CursorPosition = [] { return POINT{-10000, -10000}; };
        };
        PumpPending();
    }

    TobjKernelDesigner& Designer() { return window_->Designer(); }
    // The model the designer of this start shows.
    KernelModel& Model() { return Designer().Model(); }
    std::string UndoDescription() {
        const TobjKernelUndoer& undoer = *Designer().Controller().Undoer();
        return undoer.Entry(undoer.Current()).Description;
    }
    std::vector<std::uint8_t> Signal() {
        TobjMultiMemStrm& view = window_->Controller().SignalView();
        return {view.Memory(), view.Memory() + view.Size()};
    }
    void Open() {
        dialogs_.Choices.push_back({true, wavePath_, 0});
        window_->OpenSaveClick(*window_);
        PumpPending();
    }
    // Clicks the editor near its zero line at an impulse (a new column), then drags it up to row y.
    void DrawColumn(std::int32_t impulse, int y) {
        TobjKernelEditor& editor = *Designer().Editor;
        const HistogramGeometry& g = editor.Geometry();
        const int x = g.ColumnLeft(impulse - Model().CurrentEditorBounds->LowImpulse) + g.CellWidth() / 2;
        SendMessageA(editor.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(x, g.ZeroY()));
        SendMessageA(editor.Handle(), WM_MOUSEMOVE, MK_LBUTTON, At(x, y - 1));
        SendMessageA(editor.Handle(), WM_MOUSEMOVE, MK_LBUTTON, At(x, y));
        SendMessageA(editor.Handle(), WM_LBUTTONUP, 0, At(x, y));
        PumpPending();
    }
    void ClickMenu(const char* item) {
        SendMessageA(Designer().Handle(), WM_COMMAND, Designer().Find<TMenuItem>(item).Command(), 0);
        PumpPending();
    }

    test::TTempFolder folder_;
    test::TScriptedFileDialogs dialogs_;
    test::TScriptedPrompts prompts_;
    test::TScriptedShell shell_;
    std::vector<std::uint8_t> signal_;
    std::string wavePath_;
    std::unique_ptr<TobjTarvola> window_;
};

TEST_F(DesignerWiring, TheDesignerStandsBelowTheMainWindowInItsStartState) {
    RECT main{}, designer{};
    GetWindowRect(window_->Handle(), &main);
    GetWindowRect(Designer().Handle(), &designer);
    EXPECT_EQ(designer.left, main.left);
    EXPECT_EQ(designer.top, main.bottom + 5);
    EXPECT_EQ(designer.right - designer.left, 1020);
    EXPECT_EQ(designer.bottom - designer.top, 538);
    EXPECT_TRUE(IsWindowVisible(Designer().Handle()));
    EXPECT_FALSE(Designer().FirstTime());
    EXPECT_EQ(Designer().Caption(), "");

    EXPECT_EQ(Designer().MnItm_Undo->Caption(), "Can't Undo");
    EXPECT_FALSE(Designer().MnItm_Undo->Enabled());
    EXPECT_EQ(Designer().MnItm_Redo->Caption(), "Can't Redo");
    EXPECT_EQ(UndoDescription(), "Initial Data");
    EXPECT_EQ(Designer().Edt_LastColImpls->Caption(), "400");
    EXPECT_EQ(Designer().Edt_NmbrVwrCols->Caption(), "801");
    EXPECT_EQ(Designer().Spn_ZeroImpls->Value(), 400);
    EXPECT_EQ(Designer().Spn_ViewNmbr->Value(), 1);
    EXPECT_EQ(Model().LeftKernel.Count(), 1);
    EXPECT_EQ(Model().RightKernel.Count(), 1);

    // Process waits for a signal.
    EXPECT_FALSE(window_->Find<TButton>("Btn_Process").Enabled());
    Open();
    EXPECT_TRUE(window_->Find<TButton>("Btn_Process").Enabled());
    EXPECT_EQ(Designer().SampleRate(), 44100);
}

TEST_F(DesignerWiring, ADrawnKernelProcessesLikeTheReferenceUndoesSavesAndComesBackAtTheNextStart) {
    Open();
    const int zeroY = Designer().Editor->Geometry().ZeroY();
    DrawColumn(4, zeroY - 40);
    ASSERT_EQ(Model().LeftKernel.Count(), 2);
    EXPECT_EQ(Model().LeftKernel.Impulse(1), 4);
    const long double drawn = Model().LeftKernel.Value(1);
    EXPECT_GT(drawn, 0.1L);
    // A column made and dragged in one press is one edit.
    EXPECT_EQ(UndoDescription(), "Create Single Column");

    const std::vector<std::uint8_t> expected = Reference(signal_, Model());
    ASSERT_NE(expected, signal_);
    window_->Process_Click(*window_);
    PumpPending();
    EXPECT_TRUE(Designer().ProcessOK());
    EXPECT_EQ(Signal(), expected);

    const std::string processedPath = folder_.Folder() + "processed.wav";
    dialogs_.Choices.push_back({true, processedPath, 0});
    window_->MnItm_SaveAsClick(*window_);
    const std::vector<std::uint8_t> saved = ReadBytes(processedPath);
    ASSERT_EQ(saved.size(), 44 + expected.size());
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), saved.begin() + 44));

    window_->Undo_Click(*window_);
    EXPECT_EQ(Signal(), signal_);
    const std::string undonePath = folder_.Folder() + "undone.wav";
    dialogs_.Choices.push_back({true, undonePath, 0});
    window_->MnItm_SaveAsClick(*window_);
    EXPECT_EQ(ReadBytes(undonePath), ReadBytes(wavePath_));

    window_.reset();
    EXPECT_TRUE(std::filesystem::exists(folder_.Folder() + "User\\KrnlPersist.dat"));
    Start(); // a new designer, with a model of its own
    ASSERT_EQ(Model().LeftKernel.Count(), 2);
    EXPECT_EQ(Model().LeftKernel.Impulse(1), 4);
    EXPECT_EQ(Model().LeftKernel.Value(1), drawn);
    EXPECT_EQ(UndoDescription(), "Initial Data");
}

TEST_F(DesignerWiring, AReverbGeneratedIntoTheKernelProcessesLikeTheReference) {
    Open();
    prompts_.OnShowModal = [](TForm& form) {
        auto* reverb = dynamic_cast<TobjReverbDesigner*>(&form);
        if (reverb == nullptr)
            return mrCancel;
        reverb->Btn_Generate->Click();
        return mrOk;
    };
    SendMessageA(Designer().Handle(), WM_COMMAND, Designer().Find<TMenuItem>("MnItm_Reverb").Command(), 0);
    PumpPending();
    EXPECT_EQ(UndoDescription(), "Design Reverberation");
    ASSERT_GT(Model().LeftKernel.Count(), 10);
    ASSERT_GT(Model().RightKernel.Count(), 10);

    const std::vector<std::uint8_t> expected = Reference(signal_, Model());
    window_->Process_Click(*window_);
    PumpPending();
    EXPECT_TRUE(Designer().ProcessOK());
    EXPECT_EQ(Signal(), expected);
    // For a look at both windows (screenshots): TARVOLA_SHOW_DESIGNER=seconds.
    if (const char* seconds = std::getenv("TARVOLA_SHOW_DESIGNER")) {
        const int zeroY = Designer().Editor->Geometry().ZeroY();
        DrawColumn(-6, zeroY - 60);
        DrawColumn(3, zeroY + 50);
        Designer().Edt_LastColImpls->SetCaption("1500");
        SendMessageA(Designer().Edt_LastColImpls->Handle(), WM_CHAR, '\r', 1);
        ClickMenu("MnItm_AbleStats");
        test::PumpFor(std::chrono::seconds(std::atoi(seconds)));
    }
}

} // namespace
} // namespace tarvola
