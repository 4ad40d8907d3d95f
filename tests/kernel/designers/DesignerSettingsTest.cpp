#include "kernel/designers/DesignerSettings.h"

#include "kernel/designers/FilterDesigner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace tarvola {
namespace {

namespace fs = std::filesystem;

// A fresh program folder per test, removed afterwards.
class DesignerSettingsFile : public testing::Test {
protected:
    void SetUp() override {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        folder_ = fs::temp_directory_path() / (std::string("tarvola-designer-settings-") + info->name() +
                                               "-" + std::to_string(std::random_device{}()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        path_ = DesignerSettingsPath(folder_.string(), kFilterSettingsFileName);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    void WriteFile(const std::vector<std::uint8_t>& bytes) {
        fs::create_directories(fs::path(path_).parent_path());
        std::ofstream file(fs::path(path_), std::ios::binary);
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    std::vector<std::uint8_t> ReadFile() const {
        std::ifstream file(fs::path(path_), std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

    // Loads the filter settings the way the designer does; returns what it would show.
    TFilterSettings Load(bool expectLoaded) {
        TFilterSettings settings;
        const bool loaded = LoadDesignerSettings(
            path_, kFilterSettingsSize,
            [&](const std::uint8_t* bytes) {
                const auto decoded = DecodeFilterSettings(bytes);
                if (decoded)
                    settings = *decoded;
                return decoded.has_value();
            },
            kTexts, [this](const std::string& text) { warnings_.push_back(text); });
        EXPECT_EQ(loaded, expectLoaded);
        return settings;
    }

    const DesignerSettingsTexts kTexts{kFilterSettingsMissingText, kFilterSettingsReadErrorText,
                                       kFilterSettingsSaveErrorText};
    fs::path folder_;
    std::string path_;
    std::vector<std::string> warnings_;
};

std::vector<std::uint8_t> Bytes(const TFilterSettings& s) {
    const TFilterSettingsBytes bytes = EncodeFilterSettings(s);
    return {bytes.begin(), bytes.end()};
}

TFilterSettings NonDefault() {
    TFilterSettings s;
    s.Mix = .3L;
    s.Amplitude = -.5L;
    s.Order = 101;
    s.FIRFunction = TFirFunction::Hanning;
    s.PassBand = TPassBand::HighPass;
    return s;
}

TEST_F(DesignerSettingsFile, PathLiesInTheUserFolder) {
    EXPECT_EQ(fs::path(path_), folder_ / "User" / "FilterPersist.dat");
}

TEST_F(DesignerSettingsFile, LoadsWhatTheFileHoldsOrWarnsAndKeepsDefaults) {
    const std::vector<std::uint8_t> good = Bytes(NonDefault());
    std::vector<std::uint8_t> longer = good;
    longer.push_back(0xAB);
    std::vector<std::uint8_t> shorter = good;
    shorter.pop_back();
    std::vector<std::uint8_t> nanMix = good;
    nanMix[7] = 0xC0;
    nanMix[8] = 0xFF;
    nanMix[9] = 0x7F;

    const struct {
        const char* name;
        bool present;
        std::vector<std::uint8_t> bytes;
        bool loaded;
        const char* warning;
    } cases[] = {
        {"missing", false, {}, false, kFilterSettingsMissingText},
        {"32 bytes", true, good, true, nullptr},
        {"33 bytes", true, longer, true, nullptr},
        {"31 bytes", true, shorter, false, kFilterSettingsReadErrorText},
        {"empty", true, {}, false, kFilterSettingsReadErrorText},
        {"NaN mix", true, nanMix, false, kFilterSettingsReadErrorText},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(path_);
        if (c.present)
            WriteFile(c.bytes);
        warnings_.clear();
        const TFilterSettings shown = Load(c.loaded);
        EXPECT_EQ(shown, c.loaded ? NonDefault() : TFilterSettings{});
        if (c.warning)
            EXPECT_EQ(warnings_, std::vector<std::string>{c.warning});
        else
            EXPECT_TRUE(warnings_.empty());
    }
}

TEST_F(DesignerSettingsFile, AFolderInPlaceOfTheFileIsAReadError) {
    fs::create_directories(path_);
    Load(false);
    EXPECT_EQ(warnings_, std::vector<std::string>{kFilterSettingsReadErrorText});
}

TEST_F(DesignerSettingsFile, SavesWholeRecordsAndCreatesTheUserFolder) {
    const auto warn = [this](const std::string& text) { warnings_.push_back(text); };
    ASSERT_FALSE(fs::exists(folder_ / "User"));
    EXPECT_TRUE(SaveDesignerSettings(path_, Bytes(TFilterSettings{}), kTexts, warn));
    EXPECT_EQ(ReadFile(), Bytes(TFilterSettings{}));

    // A longer file from elsewhere is replaced, not overwritten in place.
    WriteFile(std::vector<std::uint8_t>(40, 0xEE));
    EXPECT_TRUE(SaveDesignerSettings(path_, Bytes(NonDefault()), kTexts, warn));
    EXPECT_EQ(ReadFile(), Bytes(NonDefault()));
    EXPECT_TRUE(warnings_.empty());
    EXPECT_FALSE(fs::exists(path_ + ".tmp"));

    // Load and save again: byte for byte the same file.
    const std::vector<std::uint8_t> before = ReadFile();
    const TFilterSettings loaded = Load(true);
    EXPECT_TRUE(SaveDesignerSettings(path_, Bytes(loaded), kTexts, warn));
    EXPECT_EQ(ReadFile(), before);
}

TEST_F(DesignerSettingsFile, AFailedSaveWarnsAndLeavesNoPartialFile) {
    const auto warn = [this](const std::string& text) { warnings_.push_back(text); };
    // "User" is a file, so nothing can be created below it.
    { std::ofstream blocker(folder_ / "User"); }
    EXPECT_FALSE(SaveDesignerSettings(path_, Bytes(TFilterSettings{}), kTexts, warn));
    EXPECT_EQ(warnings_, std::vector<std::string>{kFilterSettingsSaveErrorText});

    // The file's name taken by a folder: the old content stays, the temporary file goes.
    fs::remove(folder_ / "User");
    fs::create_directories(path_);
    warnings_.clear();
    EXPECT_FALSE(SaveDesignerSettings(path_, Bytes(TFilterSettings{}), kTexts, warn));
    EXPECT_EQ(warnings_, std::vector<std::string>{kFilterSettingsSaveErrorText});
    EXPECT_TRUE(fs::is_directory(path_));
    EXPECT_FALSE(fs::exists(path_ + ".tmp"));
}

} // namespace
} // namespace tarvola
