// Test doubles for the seams of the audio file readers and writers: files kept in memory (with switches
// that make creating, writing or replacing fail) and prompts that record what they were shown and give
// scripted answers.
#pragma once

#include "audio/RWAudioFile.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tarvola::audiotest {

using Bytes = std::vector<std::uint8_t>;

class TMemoryAudioFileSystem : public IAudioFileSystem {
public:
    bool Exists(const std::string& fileName) override;
    std::unique_ptr<TStream> OpenRead(const std::string& fileName) override;
    std::unique_ptr<TStream> Create(const std::string& fileName) override;
    bool Replace(const std::string& from, const std::string& to) override;
    void Remove(const std::string& fileName) override;

    void Put(const std::string& fileName, Bytes bytes);
    // The file's bytes; empty when there is no such file.
    Bytes Get(const std::string& fileName) const;
    std::vector<std::string> Names() const;

    // Faults: Create raises; files made by Create accept only this many bytes in all (-1: no limit);
    // Replace fails.
    bool failCreate = false;
    std::int64_t writeLimit = -1;
    bool failReplace = false;
    // Sizes that streams opened by OpenRead report instead of the real one (files too large to make).
    std::map<std::string, std::int64_t> reportedSizes;

private:
    std::map<std::string, std::shared_ptr<Bytes>> files_;
};

class TScriptedPrompts : public IAudioFilePrompts {
public:
    void ShowError(const std::string& text) override { errors.push_back(text); }
    THeaderReportChoice AskAbortOrIgnore(const std::string& text) override {
        reports.push_back(text);
        return reportChoice;
    }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    bool AskRawPCMParams(TRawPCMParams& params) override {
        ++rawDialogs;
        if (!rawAnswer)
            return false;
        params = *rawAnswer;
        return true;
    }

    THeaderReportChoice reportChoice = THeaderReportChoice::Ignore;
    std::optional<TRawPCMParams> rawAnswer; // none: the dialog is cancelled
    std::vector<std::string> errors;
    std::vector<std::string> reports;
    std::vector<std::string> messages;
    int rawDialogs = 0;
};

} // namespace tarvola::audiotest
