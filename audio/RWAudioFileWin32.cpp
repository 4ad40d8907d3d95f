#include <windows.h>

#include "forms/Dialogs.h"
#include "forms/Form.h"

#include "audio/PCMPropertiesDlg.h"
#include "audio/RWAudioFileWin32.h"

namespace tarvola {

namespace {

class TWin32AudioFileSystem : public IAudioFileSystem {
public:
    bool Exists(const std::string& fileName) override {
        const DWORD attributes = GetFileAttributesA(fileName.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    }
    std::unique_ptr<TStream> OpenRead(const std::string& fileName) override {
        return std::make_unique<TFileStream>(fileName, TFileStream::Mode::OpenRead);
    }
    std::unique_ptr<TStream> Create(const std::string& fileName) override {
        return std::make_unique<TFileStream>(fileName, TFileStream::Mode::Create);
    }
    bool Replace(const std::string& from, const std::string& to) override {
        return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    }
    void Remove(const std::string& fileName) override { DeleteFileA(fileName.c_str()); }
};

class TWin32AudioFilePrompts : public IAudioFilePrompts {
public:
    void ShowError(const std::string& text) override { MessageDlg(text, TMsgDlgType::mtError, mbOK); }
    THeaderReportChoice AskAbortOrIgnore(const std::string& text) override {
        return MessageDlg(text, TMsgDlgType::mtError, mbAbort | mbIgnore) == mrIgnore
                   ? THeaderReportChoice::Ignore
                   : THeaderReportChoice::Abort;
    }
    void ShowMessage(const std::string& text) override { tarvola::ShowMessage(text); }
    bool AskRawPCMParams(TRawPCMParams& params) override {
        TobjPCMParamsDlg dialog(nullptr);
        CenterOnDesktop(dialog);
        dialog.ShowModal();
        if (dialog.Cancelled)
            return false;
        params =
            TRawPCMParams{dialog.Bits, dialog.Rate, dialog.Channels, dialog.BytesPerSample, dialog.Order};
        return true;
    }
};

} // namespace

IAudioFilePrompts& Win32AudioFilePrompts() {
    static TWin32AudioFilePrompts prompts;
    return prompts;
}

IAudioFileSystem& Win32AudioFileSystem() {
    static TWin32AudioFileSystem files;
    return files;
}

} // namespace tarvola
