// The designer base form as the preset browser's host: the protocol operations, the left column's
// controls, messages, and folders on disk (the New Folder dialog asks for a name).
#pragma once

#include "kernel/PresetBrowserController.h"

namespace tarvola {

class TobjCustomDSP;

class TPresetBrowserHost final : public IPresetBrowserHost {
public:
    explicit TPresetBrowserHost(TobjCustomDSP& form) : form_(form) {}

    void LoadPreset(const std::string& fileName) override;
    bool SavePreset(const std::string& name) override;
    bool DeletePreset(const std::string& name) override;
    void SetCurrentFolder(const std::string& folder) override;
    std::string EntryText() const override;
    void SetEntryText(const std::string& text) override;
    void EnablePresetButtons(bool add, bool del) override;
    void ShowCollectionCaption(const std::string& caption) override;
    void SetCaption(const std::string& caption) override;
    void ShowMessage(const std::string& text) override;
    void EnsureFolder(const std::string& folder) override;
    std::optional<std::string> AskNewFolder(const std::string& parentFolder) override;
    bool CreateFolder(const std::string& folder) override;

private:
    TobjCustomDSP& form_;
};

} // namespace tarvola
