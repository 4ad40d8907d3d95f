// The raw-PCM parameters dialog and the Windows prompts of the audio file readers and writers.
#include "forms/ComCtrls.h"
#include "forms/ExtCtrls.h"
#include "forms/StdCtrls.h"

#include "audio/PCMPropertiesDlg.h"
#include "audio/RWAudioFileWin32.h"
#include "tests/support/AudioFileBytes.h"
#include "tests/support/MemoryAudioFileSystem.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/WindowDriver.h"

#include <gtest/gtest.h>

namespace tarvola {
namespace {

TEST(PCMPropertiesDlg, StartsWithTheDefaultsAndTheirLimits) {
    TobjPCMParamsDlg dialog(nullptr);
    EXPECT_EQ(dialog.Caption(), "PCM Audio Properties");
    EXPECT_EQ(dialog.BorderStyle(), TFormBorderStyle::bsDialog);
    struct Spin {
        TSpinEdit* edit;
        std::int32_t min, max, value;
    };
    for (const Spin& s : {Spin{dialog.SpEd_SmplRate, 1, 200000, 44100},
                          Spin{dialog.SpEd_BitsPSmpl, 1, 32, 16}, Spin{dialog.SpEd_Chnls, 1, 2, 1}}) {
        EXPECT_EQ(s.edit->MinValue(), s.min);
        EXPECT_EQ(s.edit->MaxValue(), s.max);
        EXPECT_EQ(s.edit->Value(), s.value);
    }
    EXPECT_EQ(dialog.RdGp_Order->Caption(), "Data Ordering");
    EXPECT_EQ(dialog.RdGp_Order->Items(),
              (std::vector<std::string>{".wav / low byte to high byte", ".aiff / high byte to low byte"}));
    EXPECT_EQ(dialog.RdGp_Order->ItemIndex(), 0);
    dialog.Show();
    test::PumpPending();
    for (int i = 0; i < 2; ++i) {
        const HWND button = dialog.RdGp_Order->Buttons(i).Handle();
        EXPECT_TRUE(IsWindowVisible(button)) << "order button " << i;
        EXPECT_EQ(GetParent(button), dialog.RdGp_Order->Handle());
        EXPECT_EQ(SendMessageA(button, BM_GETCHECK, 0, 0), i == 0 ? BST_CHECKED : BST_UNCHECKED);
    }
    EXPECT_EQ(dialog.Btn_OK->Caption(), "OK");
    EXPECT_EQ(dialog.Btn_Cancel->Caption(), "Cancel");
    EXPECT_TRUE(dialog.Cancelled);
}

TEST(PCMPropertiesDlg, OKTakesTheValuesAndCancelOrCloseLeaveItCancelled) {
    struct Case {
        const char* name;
        std::int32_t rate, bits, channels, order;
        bool ok;
        std::int32_t bytesPerSample;
    };
    const Case cases[] = {
        {"OK, 12 bits", 22050, 12, 2, 1, true, 2},
        {"OK, 24 bits", 96000, 24, 1, 0, true, 3},
        {"OK, 7 bits", 1000, 7, 1, 0, true, 1},
        {"Cancel", 22050, 12, 2, 1, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TScriptedPrompts prompts;
        prompts.OnShowModal = [&](TForm& form) {
            auto& dialog = static_cast<TobjPCMParamsDlg&>(form);
            dialog.SpEd_SmplRate->SetValue(c.rate);
            dialog.SpEd_BitsPSmpl->SetValue(c.bits);
            dialog.SpEd_Chnls->SetValue(c.channels);
            dialog.RdGp_Order->SetItemIndex(c.order);
            (c.ok ? dialog.Btn_OK : dialog.Btn_Cancel)->Click();
            return form.ModalResult();
        };
        TobjPCMParamsDlg dialog(nullptr);
        dialog.ShowModal();
        EXPECT_EQ(dialog.Cancelled, !c.ok);
        if (c.ok) {
            EXPECT_EQ(dialog.Rate, c.rate);
            EXPECT_EQ(dialog.Bits, c.bits);
            EXPECT_EQ(dialog.Channels, c.channels);
            EXPECT_EQ(dialog.Order, c.order);
            EXPECT_EQ(dialog.BytesPerSample, c.bytesPerSample);
        }
    }
}

TEST(PCMPropertiesDlg, RunsModallyForReal) {
    for (const char* button : {static_cast<const char*>("OK"), static_cast<const char*>(nullptr)}) {
        TobjPCMParamsDlg dialog(nullptr);
        test::WhenWindowShows("PCM Audio Properties", [button](HWND window) {
            if (button != nullptr) {
                test::ClickButton(test::FindChildWithText(window, ".aiff / high byte to low byte"));
                test::ClickButton(test::FindChildWithText(window, button));
            } else {
                PostMessageA(window, WM_CLOSE, 0, 0); // closed without OK
            }
        });
        dialog.ShowModal();
        EXPECT_EQ(dialog.Cancelled, button == nullptr);
        if (button != nullptr) {
            EXPECT_EQ(dialog.Rate, 44100);
            EXPECT_EQ(dialog.Bits, 16);
            EXPECT_EQ(dialog.Channels, 1);
            EXPECT_EQ(dialog.BytesPerSample, 2);
            EXPECT_EQ(dialog.Order, 1);
        }
    }
}

TEST(RWAudioFileWin32Prompts, BoxesAndTheRawDialog) {
    test::TScriptedPrompts prompts;
    prompts.Answers = {mrIgnore, mrAbort};
    IAudioFilePrompts& audioPrompts = Win32AudioFilePrompts();
    EXPECT_EQ(audioPrompts.AskAbortOrIgnore("report"), THeaderReportChoice::Ignore);
    EXPECT_EQ(audioPrompts.AskAbortOrIgnore("report"), THeaderReportChoice::Abort);
    audioPrompts.ShowError(CouldNotOpenFileText);
    audioPrompts.ShowMessage("saved");
    ASSERT_EQ(prompts.Messages.size(), 4u);
    EXPECT_EQ(prompts.Messages[0].type, TMsgDlgType::mtError);
    EXPECT_EQ(prompts.Messages[0].buttons, mbAbort | mbIgnore);
    EXPECT_EQ(prompts.Messages[2].type, TMsgDlgType::mtError);
    EXPECT_EQ(prompts.Messages[2].buttons, mbOK);
    EXPECT_EQ(prompts.Messages[2].text, CouldNotOpenFileText);
    EXPECT_EQ(prompts.Messages[3].buttons, mbOK);
    EXPECT_EQ(prompts.Messages[3].text, "saved");

    // A headerless file opened through the dialog: high byte first, stereo 16-bit.
    prompts.OnShowModal = [](TForm& form) {
        auto& dialog = static_cast<TobjPCMParamsDlg&>(form);
        dialog.SpEd_SmplRate->SetValue(8000);
        dialog.SpEd_Chnls->SetValue(2);
        dialog.RdGp_Order->SetItemIndex(1);
        dialog.Btn_OK->Click();
        return form.ModalResult();
    };
    audiotest::TMemoryAudioFileSystem files;
    const audiotest::Bytes data = audiotest::Pattern(8);
    files.Put("C:\\in\\raw.pcm", data);
    TobjPCMAudio reader(audioPrompts, files);
    ASSERT_TRUE(reader.Open("C:\\in\\raw.pcm"));
    EXPECT_EQ(reader.AudioInfo().SampleRate, 8000);
    EXPECT_EQ(reader.AudioInfo().Channels, 2);
    audiotest::Bytes read(8);
    EXPECT_EQ(reader.ReadBlock(read.data(), 8), 8);
    EXPECT_EQ(read, audiotest::Swapped(data, 2));

    prompts.OnShowModal = [](TForm& form) {
        static_cast<TobjPCMParamsDlg&>(form).Btn_Cancel->Click();
        return form.ModalResult();
    };
    TobjPCMAudio cancelled(audioPrompts, files);
    EXPECT_FALSE(cancelled.Open("C:\\in\\raw.pcm"));
    EXPECT_EQ(prompts.ModalRuns, 2);
}

} // namespace
} // namespace tarvola
