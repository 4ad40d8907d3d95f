#include "kernel/KernelStateFile.h"

#include "KernelStateProperty.h"
#include "KernelTestFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace tarvola {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// Builds an expected image from plain numbers, independently of the codecs under test.
struct Image {
    Bytes bytes;
    Image& Tag() {
        for (char c : std::string("VER1"))
            bytes.push_back(static_cast<std::uint8_t>(c));
        return *this;
    }
    Image& Ints(std::initializer_list<std::int32_t> values, int times = 1) {
        for (int t = 0; t < times; ++t)
            for (std::int32_t v : values)
                for (int i = 0; i < 4; ++i)
                    bytes.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i)));
        return *this;
    }
    Image& Raw(std::initializer_list<std::uint8_t> values) {
        bytes.insert(bytes.end(), values);
        return *this;
    }
};

TImpulseRec Rec(std::int32_t impulse, long double value, TSourceKind kind = TSourceKind::Input) {
    TImpulseRec rec;
    rec.Impulse = impulse;
    rec.Value = value;
    rec.Kind = kind;
    return rec;
}

void PutInt(Bytes& bytes, std::size_t offset, std::int32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> (8 * i));
}

// Brings every bounds record and both statistics in line with the kernels, as the designer keeps them.
void Settle(KernelModel& model) {
    for (std::int32_t channel = 1; channel <= 2; ++channel) {
        TViewArray& views = model.ViewsOf(channel);
        const std::int32_t viewLow = views[static_cast<std::size_t>(model.ViewNumber - 1)].LowImpulse;
        for (TViewBounds& view : views)
            KernelModel::RecomputeBoundsFor(model.KernelOf(channel), viewLow, view, -1);
        KernelModel::RecomputeBoundsFor(model.KernelOf(channel), viewLow, model.EditorBoundsOf(channel), -1);
        model.UpdateChannelStats(channel);
    }
}

class KernelStateTest : public testing::Test {
protected:
    KernelStateTest() { model.ResetToDefaults(); }

    // Left -3, 0, 7 (the last an Output with a bar, selected); right 0.
    void ThreeAndOne() {
        TImpulseRec last = Rec(7, -2.0L, TSourceKind::Output);
        last.Bar = {10, 20, 30, 40};
        last.Selected = true;
        model.LeftKernel.LoadRecords({Rec(-3, 0.5L), Rec(0, 1.0L), last});
        model.RightKernel.LoadRecords({Rec(0, 1.0L)});
        Settle(model);
    }

    KernelModel model;
};

// ---- Golden images ---------------------------------------------------------------------------------------

TEST_F(KernelStateTest, EmptyKernelsGolden) {
    model.LeftKernel.Clear();
    model.RightKernel.Clear();
    Settle(model);
    Image expected;
    expected.Tag().Ints({0, 0, 0, 1, -1, 0}, 2);
    expected.Ints({0, -1, -400, 800, -1, 400, -1, -1, 0, -1, -1, 0, 400, -1, 0, 801, 0}, 20);
    expected.Ints({1});
    expected.Ints({390, -1, -10, 410, -1, 10, -1, -1, 0, -1, -1, 0, 10, -1, 0, 21, 0}, 2);
    ASSERT_EQ(expected.bytes.size(), 1552u);

    EXPECT_EQ(WriteKernelState(model), expected.bytes);
    KernelModel read;
    ASSERT_TRUE(ReadKernelState(expected.bytes, read));
    EXPECT_EQ(WriteKernelState(read), expected.bytes);
    EXPECT_EQ(read.LeftKernel.Count(), 0);
    EXPECT_EQ(read.RightStats, (TChannelStats{0, 0, 0, 1, -1, 0}));
}

TEST_F(KernelStateTest, RecordsInBothChannelsGolden) {
    ThreeAndOne();
    const Bytes image = WriteKernelState(model);
    ASSERT_EQ(image.size(), 1680u);
    Image counts;
    counts.Ints({3});
    EXPECT_TRUE(std::equal(counts.bytes.begin(), counts.bytes.end(), image.begin() + 4));
    counts.bytes.clear();
    counts.Ints({1});
    EXPECT_TRUE(std::equal(counts.bytes.begin(), counts.bytes.end(), image.begin() + 28));

    Image records;
    records.Raw({0, 0, 0, 0, 0, 0, 0, 0x80, 0xFE, 0x3F}).Ints({-3}).Raw({1}).Ints({0, 0, 0, 0}).Raw({0});
    records.Raw({0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}).Ints({0}).Raw({1}).Ints({0, 0, 0, 0}).Raw({0});
    records.Raw({0, 0, 0, 0, 0, 0, 0, 0x80, 0x00, 0xC0}).Ints({7}).Raw({2}).Ints({10, 20, 30, 40}).Raw({1});
    records.Raw({0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}).Ints({0}).Raw({1}).Ints({0, 0, 0, 0}).Raw({0});
    EXPECT_EQ(Bytes(image.begin() + 1552, image.end()), records.bytes);
    EXPECT_EQ(Bytes(image.begin() + 1648, image.begin() + 1680),
              Bytes(records.bytes.begin() + 96, records.bytes.end()));

    KernelModel read;
    ASSERT_TRUE(ReadKernelState(image, read));
    EXPECT_EQ(WriteKernelState(read), image);
    EXPECT_EQ(read.LeftKernel.Records(), model.LeftKernel.Records());
    EXPECT_EQ(read.LeftViews, model.LeftViews);
    EXPECT_EQ(read.RightEditorBounds, model.RightEditorBounds);
}

TEST_F(KernelStateTest, CountsAreTheRealListSizesWhicheverChannelIsCurrent) {
    ThreeAndOne();
    // Stale statistics, as a channel's can be when the other channel was edited last.
    model.LeftStats.Count = 1;
    model.RightStats.Count = 3;
    for (std::int32_t channel : {1, 2}) {
        model.SelectChannel(channel);
        const Bytes image = WriteKernelState(model);
        KernelModel read;
        ASSERT_TRUE(ReadKernelState(image, read));
        EXPECT_EQ(read.LeftKernel.Count(), 3);
        EXPECT_EQ(read.RightKernel.Count(), 1);
        EXPECT_EQ(read.LeftStats.Count, 3);
    }
}

TEST_F(KernelStateTest, OlderLayoutWithoutTheTag) {
    ThreeAndOne();
    const Bytes image = WriteKernelState(model);
    KernelModel read;
    ASSERT_TRUE(ReadKernelState(Bytes(image.begin() + 4, image.end()), read));
    EXPECT_EQ(WriteKernelState(read), image);
}

// ---- Damaged images --------------------------------------------------------------------------------------

TEST_F(KernelStateTest, DamagedImagesLoadAConsistentModel) {
    ThreeAndOne();
    const Bytes golden = WriteKernelState(model);
    constexpr std::size_t leftCount = 4, rightCount = 28, leftView1 = 52, viewNumber = 1412, records = 1552;
    constexpr std::size_t width = 15 * 4, lowImpulse = 2 * 4, highImpulse = 5 * 4;
    struct Case {
        const char* what;
        std::function<void(Bytes&)> damage;
        std::vector<std::int32_t> left, right;
        std::function<void(KernelModel&)> check;
    };
    const auto none = [](KernelModel&) {};
    const Case cases[] = {
        {"left count -1", [&](Bytes& b) { PutInt(b, leftCount, -1); }, {}, {-3}, none},
        {"left count 20,000", [&](Bytes& b) { PutInt(b, leftCount, 20000); }, {-3, 0, 7}, {}, none},
        {"right count 20,000", [&](Bytes& b) { PutInt(b, rightCount, 20000); }, {-3, 0, 7}, {0}, none},
        {"view number 0",
         [&](Bytes& b) { PutInt(b, viewNumber, 0); },
         {-3, 0, 7},
         {0},
         [](KernelModel& m) { EXPECT_EQ(m.ViewNumber, 1); }},
        {"view number 11",
         [&](Bytes& b) { PutInt(b, viewNumber, 11); },
         {-3, 0, 7},
         {0},
         [](KernelModel& m) { EXPECT_EQ(m.ViewNumber, 1); }},
        {"view width 0",
         [&](Bytes& b) { PutInt(b, leftView1 + width, 0); },
         {-3, 0, 7},
         {0},
         [](KernelModel& m) { EXPECT_EQ(m.LeftViews[0].Width, 801); }},
        {"view width 50,000",
         [&](Bytes& b) {
             PutInt(b, leftView1 + lowImpulse, -25000);
             PutInt(b, leftView1 + highImpulse, 24999);
             PutInt(b, leftView1 + width, 50000);
         },
         {-3, 0, 7},
         {0},
         [](KernelModel& m) { EXPECT_EQ(m.LeftViews[0].LowImpulse, -400); }},
        {"editor span beyond the domain",
         [&](Bytes& b) { PutInt(b, 1416 + highImpulse, 2000000000); },
         {-3, 0, 7},
         {0},
         [](KernelModel& m) { EXPECT_EQ(m.LeftEditorBounds.HighImpulse, 10); }},
        {"records out of order",
         [&](Bytes& b) {
             std::swap_ranges(b.begin() + records, b.begin() + records + 32, b.begin() + records + 64);
         },
         {-3, 0, 7},
         {0},
         none},
        {"duplicate impulses keep the first",
         [&](Bytes& b) { PutInt(b, records + 32 + 10, -3); },
         {-3, 7},
         {0},
         [](KernelModel& m) { EXPECT_EQ(m.LeftKernel.Value(0), 0.5L); }},
        {"impulse beyond the domain",
         [&](Bytes& b) { PutInt(b, records + 10, -100000000); },
         {0, 7},
         {0},
         none},
        {"kind 7",
         [&](Bytes& b) { b[records + 14] = 7; },
         {-3, 0, 7},
         {0},
         [](KernelModel& m) { EXPECT_EQ(m.LeftKernel.Kind(0), TSourceKind::Pass); }},
        {"NaN value",
         [&](Bytes& b) {
             b[records + 7] = 0xC0;
             b[records + 8] = 0xFF;
             b[records + 9] = 0x7F;
         },
         {-3, 0, 7},
         {0},
         [](KernelModel& m) { EXPECT_EQ(m.LeftKernel.Value(0), 0.0L); }},
        {"unnormal value",
         [&](Bytes& b) { b[records + 7] = 0x40; },
         {-3, 0, 7},
         {0},
         [](KernelModel& m) { EXPECT_EQ(m.LeftKernel.Value(0), 0.0L); }},
        {"truncated inside the records",
         [&](Bytes& b) { b.resize(records + 2 * 32 + 10); },
         {-3, 0},
         {},
         none},
        {"truncated inside the right records",
         [&](Bytes& b) { b.resize(b.size() - 1); },
         {-3, 0, 7},
         {},
         none},
        {"trailing bytes", [&](Bytes& b) { b.insert(b.end(), 40, 0xAA); }, {-3, 0, 7}, {0}, none},
        {"lowest beyond the domain",
         [&](Bytes& b) { PutInt(b, leftCount + 4, INT32_MIN); },
         {-3, 0, 7},
         {0},
         [](KernelModel& m) { EXPECT_EQ(m.LeftStats.Lowest, -3); }},
    };
    for (const Case& c : cases) {
        Bytes damaged = golden;
        c.damage(damaged);
        KernelModel read;
        read.ResetToDefaults();
        ASSERT_TRUE(ReadKernelState(damaged, read)) << c.what;
        EXPECT_EQ(KernelModelFault(read), "") << c.what;
        std::vector<std::int32_t> left, right;
        for (std::int32_t i = 0; i < read.LeftKernel.Count(); ++i)
            left.push_back(read.LeftKernel.Impulse(i));
        for (std::int32_t i = 0; i < read.RightKernel.Count(); ++i)
            right.push_back(read.RightKernel.Impulse(i));
        EXPECT_EQ(left, c.left) << c.what;
        EXPECT_EQ(right, c.right) << c.what;
        c.check(read);
        EXPECT_EQ(KernelStateFault(damaged.data(), damaged.size()), "") << c.what;
    }
}

TEST_F(KernelStateTest, ImageShorterThanTheFixedFieldsLoadsNothing) {
    ThreeAndOne();
    const Bytes golden = WriteKernelState(model);
    for (std::size_t size :
         {std::size_t{0}, std::size_t{3}, std::size_t{1000}, std::size_t{1547}, std::size_t{1551}}) {
        Bytes shortImage(golden.begin(), golden.begin() + static_cast<std::ptrdiff_t>(size));
        KernelModel read;
        read.ResetToDefaults();
        const Bytes before = WriteKernelState(read);
        if (size == 1551) // without its tag it would be an older image of 1,547 bytes: still too short
            shortImage.erase(shortImage.begin(), shortImage.begin() + 4);
        EXPECT_FALSE(ReadKernelState(shortImage, read)) << size;
        EXPECT_EQ(WriteKernelState(read), before) << size;
    }
    // 1,548 bytes without the tag are a whole older image without records.
    KernelModel read;
    EXPECT_TRUE(ReadKernelState(Bytes(golden.begin() + 4, golden.begin() + 1552), read));
    EXPECT_EQ(read.LeftKernel.Count(), 0);
}

TEST(KernelStateSmoke, RandomDamageKeepsTheModelConsistent) {
    KernelModel model;
    model.ResetToDefaults();
    for (std::int32_t i = 1; i < 40; ++i) {
        TImpulseRec left = Rec(i * 3 - 50, 0.25L * i, static_cast<TSourceKind>(i % 3));
        TImpulseRec right = Rec(i * 7 - 100, -0.5L * i, static_cast<TSourceKind>((i + 1) % 3));
        model.LeftKernel.AddOrMerge(left, TMergeMode::Keep);
        model.RightKernel.AddOrMerge(right, TMergeMode::Keep);
    }
    const Bytes golden = WriteKernelState(model);
    std::mt19937 random(12345);
    for (int round = 0; round < 300; ++round) {
        Bytes damaged = golden;
        const int changes = 1 + static_cast<int>(random() % 8);
        for (int c = 0; c < changes; ++c)
            damaged[random() % damaged.size()] = static_cast<std::uint8_t>(random());
        if (round % 5 == 0)
            damaged.resize(random() % (damaged.size() + 1));
        ASSERT_EQ(KernelStateFault(damaged.data(), damaged.size()), "") << "round " << round;
    }
}

// ---- Files -----------------------------------------------------------------------------------------------

class KernelStateFileTest : public KernelStateTest {
protected:
    KernelTestFolder folder;
};

TEST_F(KernelStateFileTest, StateFileIsReplacedWhole) {
    const std::string state = folder.Path() + kStateFileName;
    KernelTestFolder::Write(state, Bytes(5000, 0xEE));
    ThreeAndOne();
    SaveStateFile(model, state);
    EXPECT_EQ(KernelTestFolder::Read(state), WriteKernelState(model));
    EXPECT_FALSE(fs::exists(state + ".tmp"));

    KernelModel loaded;
    loaded.ResetToDefaults();
    EXPECT_TRUE(LoadStateFile(loaded, state));
    EXPECT_EQ(WriteKernelState(loaded), WriteKernelState(model));
    EXPECT_EQ(loaded.Selection.FirstIndex, 0); // the editor span -10..10 is selected
    EXPECT_EQ(loaded.Selection.LastIndex, 2);

    // A state file that cannot be written leaves the old one as it was.
    const Bytes old = KernelTestFolder::Read(state);
    fs::create_directory(state + ".tmp"); // no temporary file can be made
    model.ResetToDefaults();
    EXPECT_THROW(SaveStateFile(model, state), StreamError);
    EXPECT_EQ(KernelTestFolder::Read(state), old);
    const std::string blocked = folder.Path() + "missing" + kPathSeparator + kStateFileName;
    EXPECT_THROW(SaveStateFile(model, blocked), StreamError);
}

TEST_F(KernelStateFileTest, MissingOrShortStateFileKeepsTheDefaults) {
    const Bytes defaults = WriteKernelState(model);
    EXPECT_FALSE(LoadStateFile(model, folder.Path() + kStateFileName));
    KernelTestFolder::Write(folder.Path() + "short.dat", Bytes(100, 1));
    EXPECT_FALSE(LoadStateFile(model, folder.Path() + "short.dat"));
    EXPECT_EQ(WriteKernelState(model), defaults);
    EXPECT_EQ(model.Selection.Count, 1);
}

TEST_F(KernelStateFileTest, PresetsAreNeverOverwritten) {
    const std::string other = folder.Path() + "Other" + kPathSeparator;
    fs::create_directories(other);
    ThreeAndOne();
    EXPECT_TRUE(SavePresetFile(model, folder.Path(), "Hall"));
    const Bytes saved = KernelTestFolder::Read(folder.Path() + "Hall.ker");
    EXPECT_EQ(saved, WriteKernelState(model));

    model.ResetToDefaults();
    EXPECT_FALSE(SavePresetFile(model, folder.Path(), "Hall"));
    EXPECT_EQ(KernelTestFolder::Read(folder.Path() + "Hall.ker"), saved);
    EXPECT_TRUE(SavePresetFile(model, other, "Hall"));

    const TPresetLoadResult result = LoadPresetFile(model, folder.Path() + "Hall.ker");
    EXPECT_TRUE(result.Loaded);
    EXPECT_EQ(result.Caption, "Kernel: Hall");
    EXPECT_EQ(model.LeftKernel.Count(), 3);

    EXPECT_TRUE(DeletePresetFile(folder.Path(), "Hall"));
    EXPECT_FALSE(fs::exists(folder.Path() + "Hall.ker"));
    EXPECT_FALSE(DeletePresetFile(folder.Path(), "Hall"));
    EXPECT_TRUE(fs::exists(other + "Hall.ker"));
}

TEST_F(KernelStateFileTest, UnusablePresetLeavesTheKernelAndSaysSo) {
    KernelTestFolder::Write(folder.Path() + "Broken.ker", Bytes(700, 0));
    struct Case {
        const char* file;
        const char* message;
    };
    const Case cases[] = {
        {"Hall.ker", "The preset data file, Hall.ker, does not exist."},
        {"Broken.ker", "The preset data file, Broken.ker, cannot be read."},
    };
    const Bytes before = WriteKernelState(model);
    for (const Case& c : cases) {
        const TPresetLoadResult result = LoadPresetFile(model, folder.Path() + c.file);
        EXPECT_FALSE(result.Loaded) << c.file;
        EXPECT_EQ(result.Message, c.message);
        EXPECT_EQ(WriteKernelState(model), before) << c.file;
    }
}

TEST_F(KernelStateFileTest, PresetNamesMustBeUsableFileNames) {
    KernelTestFolder::Write(folder.Path() + "x.ker", Bytes(10, 0));
    const std::string names[] = {"",   " ",  "CON",  "lpt1", "a:b", "..\\..\\x",         "../x",
                                 "x.", "x ", "a\tb", "a*b",  "a?b", std::string(51, 'n')};
    for (const std::string& name : names) {
        EXPECT_THROW(SavePresetFile(model, folder.Path(), name), PresetNameError) << name;
        EXPECT_THROW(DeletePresetFile(folder.Path(), name), PresetNameError) << name;
    }
    EXPECT_EQ(PresetPath(folder.Path(), std::string(50, 'n')), folder.Path() + std::string(50, 'n') + ".ker");
    EXPECT_TRUE(fs::exists(folder.Path() + "x.ker"));
    EXPECT_EQ(PresetTitle("C:\\Presets\\Hall.big.ker"), "Hall");
}

} // namespace
} // namespace tarvola
