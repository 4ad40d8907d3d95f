#include "kernel/designers/ReverbSettings.h"

#include "base/Extended80.h"
#include "kernel/designers/ReverbDesigner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace tarvola {
namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> Bytes(std::initializer_list<int> values) {
    std::vector<std::uint8_t> out;
    for (int v : values)
        out.push_back(static_cast<std::uint8_t>(v));
    return out;
}

std::vector<std::uint8_t> Slice(const std::vector<std::uint8_t>& bytes, std::size_t at, std::size_t count) {
    return {bytes.begin() + static_cast<std::ptrdiff_t>(at),
            bytes.begin() + static_cast<std::ptrdiff_t>(at + count)};
}

std::vector<std::uint8_t> Ext(long double v) {
    const Extended80Bytes e = EncodeExtendedLE(v);
    return {e.begin(), e.end()};
}

// A file of the computed default banks, so that every regenerator field holds something.
class ReverbFile : public testing::Test {
protected:
    std::unique_ptr<ReverbState> state = MakeReverbState();
    std::vector<std::uint8_t> file;

    void SetUp() override {
        state->Settings.GRType = GRHall;
        state->Settings.ERType = ERComplex2;
        ComputeERRegens(*state);
        ComputeGRRegens(*state);
        state->Banks.ER[0][6].Pan = -45;
        file = EncodeReverbFile(state->Settings, state->Banks);
    }
};

TEST(ReverbSettingsLayout, DefaultsSitAtTheirOffsetsWithZeroGaps) {
    const auto r = EncodeReverbSettings(TReverbSettings{});
    const std::vector<std::uint8_t> bytes(r.begin(), r.end());
    EXPECT_EQ(bytes.size(), 132u);
    struct Field {
        std::size_t at;
        long double value;
    };
    const Field fields[] = {{4, 0.5L}, {14, 0.5L}, {24, 0.5L}, {34, 0.5L},   {44, 1.1L}, {56, 1.05L},
                            {72, 0},   {84, 0},    {96, 700},  {108, 0.75L}, {120, 0.5L}};
    for (const Field& f : fields)
        EXPECT_EQ(Slice(bytes, f.at, 10), Ext(f.value)) << f.at;
    EXPECT_EQ(bytes[0], 0);
    EXPECT_EQ(Slice(bytes, 66, 3), Bytes({1, 0, 0})); // reserved byte, GRType, ERType
    for (std::size_t gap :
         {1u, 2u, 3u, 54u, 55u, 69u, 70u, 71u, 82u, 83u, 94u, 95u, 106u, 107u, 118u, 119u, 130u, 131u})
        EXPECT_EQ(bytes[gap], 0) << gap;
}

TEST(ReverbSettingsLayout, RegeneratorRecord) {
    TRegeneratorRec g;
    g.Level = -0.75L;
    g.Filtration = 0.35L;
    g.Delay = 14.5L;
    g.DelaySmpls = -2;
    g.Active = 1;
    g.Pan = -64;
    g.GainR = 0;
    const auto r = EncodeRegenerator(g);
    const std::vector<std::uint8_t> bytes(r.begin(), r.end());
    EXPECT_EQ(Slice(bytes, 0, 10), Ext(-0.75L));
    EXPECT_EQ(Slice(bytes, 12, 10), Ext(0.35L));
    EXPECT_EQ(Slice(bytes, 24, 10), Ext(14.5L));
    EXPECT_EQ(Slice(bytes, 36, 6), Bytes({0xFE, 0xFF, 0xFF, 0xFF, 1, 0xC0}));
    EXPECT_EQ(Slice(bytes, 44, 10), Ext(kCentredPanGain));
    EXPECT_EQ(Slice(bytes, 54, 10), Ext(0));
    for (std::size_t gap : {10u, 11u, 22u, 23u, 34u, 35u, 42u, 43u})
        EXPECT_EQ(bytes[gap], 0) << gap;

    const auto blank = EncodeRegenerator(TRegeneratorRec{});
    std::vector<std::uint8_t> expected(64, 0);
    const std::vector<std::uint8_t> gain = Ext(0.707107L);
    std::copy(gain.begin(), gain.end(), expected.begin() + 44);
    std::copy(gain.begin(), gain.end(), expected.begin() + 54);
    EXPECT_EQ(std::vector<std::uint8_t>(blank.begin(), blank.end()), expected);
}

TEST_F(ReverbFile, DefaultFileHasThreePiecesOf90884Bytes) {
    const auto defaults = MakeReverbState();
    DefaultSettings(*defaults);
    const std::vector<std::uint8_t> bytes = EncodeReverbFile(defaults->Settings, defaults->Banks);
    EXPECT_EQ(bytes.size(), 90884u);
    EXPECT_EQ(kReverbSettingsBytes + kReverbERPieceBytes + kReverbGRPieceBytes, 132u + 1024u + 89728u);
    const auto blank = EncodeRegenerator(TRegeneratorRec{});
    for (std::size_t at = 132; at < bytes.size(); at += 64)
        ASSERT_TRUE(std::equal(blank.begin(), blank.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at)))
            << at;
}

TEST_F(ReverbFile, RoundTripsByteExact) {
    TReverbSettings settings;
    auto banks = std::make_unique<ReverbBanks>();
    ASSERT_TRUE(DecodeReverbFile(file, settings, *banks));
    EXPECT_EQ(settings, state->Settings);
    EXPECT_TRUE(*banks == state->Banks);
    EXPECT_EQ(EncodeReverbFile(settings, *banks), file);

    // A longer file is accepted; the extra bytes are ignored.
    std::vector<std::uint8_t> longer = file;
    longer.resize(file.size() + 17, 0xAB);
    ASSERT_TRUE(DecodeReverbFile(longer, settings, *banks));
    EXPECT_EQ(EncodeReverbFile(settings, *banks), file);
}

TEST_F(ReverbFile, ShortOrUnusableFilesAreRefusedWhole) {
    struct Case {
        std::string what;
        std::size_t length; // the file is cut to this length
        std::size_t at;     // bytes written at this offset
        std::vector<std::uint8_t> bytes;
    };
    const std::size_t grAt = 132 + 1024; // GR left[0]
    std::vector<std::uint8_t> unnormal = Ext(0.5L);
    unnormal[7] &= 0x7F; // integer bit cleared under a non-zero exponent
    std::vector<std::uint8_t> pseudoDenormal(10, 0);
    pseudoDenormal[7] = 0x80;
    const Case cases[] = {
        {"empty", 0, 0, {}},
        {"settings only", 132, 0, {}},
        {"settings and ER banks", 1156, 0, {}},
        {"one byte short", 90883, 0, {}},
        {"write mode 2", 90884, 0, Bytes({2})},
        {"GR type 5", 90884, 67, Bytes({5})},
        {"ER type 5", 90884, 68, Bytes({5})},
        {"wet NaN", 90884, 4, Ext(std::numeric_limits<long double>::quiet_NaN())},
        {"dry infinite", 90884, 34, Ext(std::numeric_limits<long double>::infinity())},
        {"wet above 1", 90884, 14, Ext(1.01L)},
        {"dry negative", 90884, 24, Ext(-0.01L)},
        {"GR separation below 1", 90884, 44, Ext(0.999L)},
        {"ER separation above 1.2", 90884, 56, Ext(1.21L)},
        {"ER size below -0.5", 90884, 72, Ext(-0.51L)},
        {"GR size -1", 90884, 84, Ext(-1)},
        {"GR time above 4000", 90884, 96, Ext(4001)},
        {"ER strength above 1", 90884, 108, Ext(1.5L)},
        {"filtration unnormal", 90884, 120, unnormal},
        {"ER level pseudo-denormal", 90884, 132, pseudoDenormal},
        {"ER right delay NaN", 90884, 132 + 8 * 64 + 24, Ext(std::numeric_limits<long double>::quiet_NaN())},
        {"GR active 2", 90884, grAt + 40, Bytes({2})},
        {"last GR gain infinite", 90884, 90884 - 10, Ext(-std::numeric_limits<long double>::infinity())},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> bytes = file;
        bytes.resize(c.length);
        std::copy(c.bytes.begin(), c.bytes.end(), bytes.begin() + static_cast<std::ptrdiff_t>(c.at));
        TReverbSettings settings;
        settings.GRTime = 123;
        auto banks = std::make_unique<ReverbBanks>();
        banks->ER[1][2].Level = 9;
        EXPECT_FALSE(DecodeReverbFile(bytes, settings, *banks)) << c.what;
        EXPECT_EQ(settings.GRTime, 123) << c.what;
        EXPECT_EQ(banks->ER[0][0], TRegeneratorRec{}) << c.what;
        EXPECT_EQ(banks->ER[1][2].Level, 9) << c.what;
    }
}

TEST_F(ReverbFile, BoundaryValuesAreAccepted) {
    TReverbSettings edge;
    edge.WriteMode = kWriteMix;
    edge.WetL = 1;
    edge.DryL = 0;
    edge.GRSeparation = 1.2L;
    edge.ERSeparation = 1;
    edge.ERSize = -0.5L;
    edge.GRSize = 0.5L;
    edge.GRTime = 4000;
    edge.ERStrength = 0;
    edge.Filtration = 1;
    edge.GRType = GRCavern;
    edge.ERType = ERComplex2;
    edge.Reserved = 7;
    const std::vector<std::uint8_t> bytes = EncodeReverbFile(edge, state->Banks);
    TReverbSettings settings;
    auto banks = std::make_unique<ReverbBanks>();
    ASSERT_TRUE(DecodeReverbFile(bytes, settings, *banks));
    EXPECT_EQ(settings, edge);
}

// The settings file in a fresh program folder per test.
class ReverbSettingsFile : public ReverbFile {
protected:
    void SetUp() override {
        ReverbFile::SetUp();
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        folder = fs::temp_directory_path() / (std::string("tarvola-reverb-settings-") + info->name() + "-" +
                                              std::to_string(std::random_device{}()));
        fs::remove_all(folder);
        fs::create_directories(folder / "User");
        path = DesignerSettingsPath(folder.string(), kReverbSettingsFileName);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
    void Write(const std::vector<std::uint8_t>& bytes) const {
        std::ofstream out(fs::path(path), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    std::vector<std::uint8_t> Read() const {
        std::ifstream in(fs::path(path), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    bool Load(ReverbState& target) {
        return LoadReverbSettings(target, folder.string(),
                                  [this](const std::string& text) { warnings.push_back(text); });
    }

    fs::path folder;
    std::string path;
    std::vector<std::string> warnings;
};

TEST_F(ReverbSettingsFile, SavesAndLoadsTheWholeState) {
    ASSERT_TRUE(
        SaveReverbSettings(*state, folder.string(), [this](const std::string& t) { warnings.push_back(t); }));
    EXPECT_EQ(Read(), file);
    const auto target = MakeReverbState();
    ASSERT_TRUE(Load(*target));
    EXPECT_EQ(target->Settings, state->Settings);
    EXPECT_TRUE(target->Banks == state->Banks);
    EXPECT_TRUE(warnings.empty());
}

TEST_F(ReverbSettingsFile, AFailedLoadWarnsAndLeavesDefaultsWithBlankBanks) {
    struct Case {
        std::string what;
        std::size_t length; // 0: no file
        std::string warning;
    };
    const Case cases[] = {
        {"missing", 0, kReverbMissingSettingsText},
        {"settings piece only", 132, kReverbReadErrorText},
        {"settings and early reflections", 1156, kReverbReadErrorText},
        {"a bad value in the last piece", 90884, kReverbReadErrorText},
    };
    for (const Case& c : cases) {
        warnings.clear();
        fs::remove(path);
        if (c.length > 0) {
            std::vector<std::uint8_t> bytes(file.begin(),
                                            file.begin() + static_cast<std::ptrdiff_t>(c.length));
            if (c.length == file.size())
                bytes[132 + 1024 + 40] = 7; // an Active byte of the general reverberation
            Write(bytes);
        }
        const auto target = MakeReverbState();
        ComputeERRegens(*target); // banks a previous session left in memory
        EXPECT_FALSE(Load(*target)) << c.what;
        EXPECT_EQ(warnings, std::vector<std::string>{c.warning}) << c.what;
        EXPECT_EQ(target->Settings, TReverbSettings{}) << c.what;
        for (const ERBank& bank : target->Banks.ER)
            for (const TRegeneratorRec& g : bank)
                EXPECT_EQ(g, TRegeneratorRec{}) << c.what;
        for (const GRBank& bank : target->Banks.GR)
            for (const TRegeneratorRec& g : bank)
                ASSERT_EQ(g, TRegeneratorRec{}) << c.what;
    }
}

} // namespace
} // namespace tarvola
