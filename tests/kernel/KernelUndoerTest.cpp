#include "kernel/KernelUndoer.h"

#include "KernelTestFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace tarvola {
namespace {

namespace fs = std::filesystem;

TImpulseRec Rec(std::int32_t impulse, long double value, TSourceKind kind = TSourceKind::Input) {
    TImpulseRec rec;
    rec.Impulse = impulse;
    rec.Value = value;
    rec.Kind = kind;
    return rec;
}

struct KernelPair {
    std::vector<TImpulseRec> left, right;
    bool operator==(const KernelPair&) const = default;
};

class UndoerTest : public testing::Test {
protected:
    UndoerTest() { model.ResetToDefaults(); }

    KernelPair Kernels() const { return {model.LeftKernel.Records(), model.RightKernel.Records()}; }
    void Record(TobjKernelUndoer& undoer, const std::string& description) {
        undoer.Record(description, model.LeftKernel, model.RightKernel);
    }
    bool Undo(TobjKernelUndoer& undoer) { return undoer.Undo(model.LeftKernel, model.RightKernel); }
    bool Redo(TobjKernelUndoer& undoer) { return undoer.Redo(model.LeftKernel, model.RightKernel); }
    std::string File(const std::string& name) const { return folder.Path() + "Undo" + kPathSeparator + name; }
    // Set-up, then edit A on the left and edit B on the right, each recorded.
    std::vector<KernelPair> RecordInitialAB(TobjKernelUndoer& undoer) {
        std::vector<KernelPair> states;
        Record(undoer, "Initial Data");
        states.push_back(Kernels());
        TImpulseRec a = Rec(5, 0.25L);
        model.LeftKernel.AddOrMerge(a, TMergeMode::Keep);
        Record(undoer, "A");
        states.push_back(Kernels());
        TImpulseRec b = Rec(-7, -0.5L, TSourceKind::Output);
        model.RightKernel.AddOrMerge(b, TMergeMode::Keep);
        Record(undoer, "B");
        states.push_back(Kernels());
        return states;
    }

    KernelTestFolder folder;
    KernelModel model;
};

TEST_F(UndoerTest, RecordsUndoesAndRedoes) {
    TobjKernelUndoer undoer(folder.Path());
    const std::vector<KernelPair> states = RecordInitialAB(undoer);

    struct FileCase {
        const char* name;
        std::uintmax_t size;
        const char* nextDescription;
    };
    const FileCase files[] = {{"00Initial Data.und", 64, "A"}, {"01A.und", 96, "B"}, {"02B.und", 128, ""}};
    for (std::int32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(fs::file_size(File(files[i].name)), files[i].size) << files[i].name;
        EXPECT_EQ(undoer.Entry(i).FileName, File(files[i].name));
        EXPECT_EQ(undoer.Entry(i).NextDescription, files[i].nextDescription);
    }
    EXPECT_EQ(undoer.Entry(1).LeftCount, 2);
    EXPECT_EQ(undoer.Entry(1).RightCount, 1);
    EXPECT_EQ(undoer.Current(), 2);

    struct Step {
        const char* what;
        bool undo;
        bool acted;
        std::int32_t current;
    };
    const Step steps[] = {{"undo B", true, true, 1},           {"undo A", true, true, 0},
                          {"nothing to undo", true, false, 0}, {"redo A", false, true, 1},
                          {"redo B", false, true, 2},          {"nothing to redo", false, false, 2}};
    for (const Step& step : steps) {
        EXPECT_EQ(step.undo ? Undo(undoer) : Redo(undoer), step.acted) << step.what;
        EXPECT_EQ(undoer.Current(), step.current) << step.what;
        EXPECT_EQ(undoer.Previous(), step.current - 1) << step.what;
        EXPECT_EQ(undoer.Next(), step.current + 1) << step.what;
        EXPECT_EQ(Kernels(), states[static_cast<std::size_t>(step.current)]) << step.what;
    }
}

TEST_F(UndoerTest, SnapshotGolden) {
    TImpulseRec output = Rec(7, -2.0L, TSourceKind::Output);
    output.Bar = {1, -1, 0x100, 0};
    output.Selected = true;
    model.LeftKernel.LoadRecords({Rec(-3, 0.5L), output});
    model.RightKernel.LoadRecords({Rec(0, 1.0L)});
    TobjKernelUndoer undoer(folder.Path());
    Record(undoer, "Initial Data");

    const std::vector<std::uint8_t> expected = {
        0, 0, 0, 0, 0,    0,    0,    0x80, 0xFE, 0x3F, 0xFD, 0xFF, 0xFF, 0xFF, 1, // 0.5 at -3, Input
        0, 0, 0, 0, 0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,
        0, 0,                                                                      // no bar, not selected
        0, 0, 0, 0, 0,    0,    0,    0x80, 0x00, 0xC0, 7,    0,    0,    0,    2, // -2.0 at 7, Output
        1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0,    1,    0,    0,    0,    0,    0,
        0, 1, // bar 1, -1, 256, 0; selected
        0, 0, 0, 0, 0,    0,    0,    0x80, 0xFF, 0x3F, 0,    0,    0,    0,    1, // right: 1.0 at 0, Input
        0, 0, 0, 0, 0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,
        0, 0};
    EXPECT_EQ(KernelTestFolder::Read(File("00Initial Data.und")), expected);

    model.ResetToDefaults();
    Record(undoer, "Reset Kernel");
    ASSERT_TRUE(Undo(undoer));
    EXPECT_EQ(model.LeftKernel.Record(1), output);
    EXPECT_EQ(model.LeftKernel.Count(), 2);
    EXPECT_EQ(model.RightKernel.Count(), 1);
}

TEST_F(UndoerTest, ANewEditAfterUndoDropsTheRedoTail) {
    TobjKernelUndoer undoer(folder.Path());
    RecordInitialAB(undoer);
    Undo(undoer);
    Undo(undoer);
    TImpulseRec x = Rec(3, 2.0L);
    model.LeftKernel.AddOrMerge(x, TMergeMode::Keep);
    Record(undoer, "X");

    EXPECT_FALSE(fs::exists(File("01A.und")));
    EXPECT_FALSE(fs::exists(File("02B.und")));
    EXPECT_TRUE(fs::exists(File("01X.und")));
    EXPECT_EQ(undoer.Count(), 2);
    EXPECT_EQ(undoer.Current(), 1);
    EXPECT_EQ(undoer.Entry(0).NextDescription, "X");
    EXPECT_FALSE(Redo(undoer));
}

TEST_F(UndoerTest, EmptyLeftKernelSnapshot) {
    TobjKernelUndoer undoer(folder.Path());
    model.LeftKernel.Clear();
    model.RightKernel.LoadRecords({Rec(-2, 0.5L), Rec(0, 1.0L), Rec(9, 3.0L, TSourceKind::Output)});
    const KernelPair snapshot = Kernels();
    Record(undoer, "Sparse");
    EXPECT_EQ(fs::file_size(File("00Sparse.und")), 96u);

    model.ResetToDefaults();
    Record(undoer, "Reset Kernel");
    ASSERT_TRUE(Undo(undoer));
    EXPECT_EQ(Kernels(), snapshot);
}

TEST_F(UndoerTest, LongDescriptionIsCutTo24Characters) {
    TobjKernelUndoer undoer(folder.Path());
    Record(undoer, "Design Reverberation Now And Later");
    EXPECT_EQ(undoer.Entry(0).Description, "Design Reverberation Now");
    EXPECT_TRUE(fs::exists(File("00Design Reverberation Now.und")));
}

TEST_F(UndoerTest, UnusableSnapshotLeavesKernelsAndHistoryAlone) {
    struct Case {
        const char* what;
        std::function<void(const std::string&)> spoil;
    };
    const Case cases[] = {
        {"missing", [](const std::string& file) { fs::remove(file); }},
        {"truncated", [](const std::string& file) { fs::resize_file(file, 40); }},
        {"one byte more",
         [](const std::string& file) {
             std::vector<std::uint8_t> bytes = KernelTestFolder::Read(file);
             bytes.push_back(0);
             KernelTestFolder::Write(file, bytes);
         }},
        {"impulse out of range",
         [](const std::string& file) {
             std::vector<std::uint8_t> bytes = KernelTestFolder::Read(file);
             bytes[13] = 0x7F; // impulse 0x7F00_00xx of the first record
             KernelTestFolder::Write(file, bytes);
         }},
    };
    for (const Case& c : cases) {
        model.ResetToDefaults();
        TobjKernelUndoer undoer(folder.Path());
        const std::vector<KernelPair> states = RecordInitialAB(undoer);
        ASSERT_TRUE(Undo(undoer)) << c.what;
        c.spoil(File("00Initial Data.und"));
        c.spoil(File("02B.und"));

        EXPECT_THROW(Undo(undoer), UndoSnapshotError) << c.what;
        EXPECT_THROW(Redo(undoer), UndoSnapshotError) << c.what;
        EXPECT_EQ(Kernels(), states[1]) << c.what;
        EXPECT_EQ(undoer.Current(), 1) << c.what;
        EXPECT_EQ(undoer.Previous(), 0) << c.what;
        EXPECT_EQ(undoer.Next(), 2) << c.what;
    }
}

TEST_F(UndoerTest, AFailedWriteChangesNothing) {
    TobjKernelUndoer undoer(folder.Path());
    RecordInitialAB(undoer);
    Undo(undoer);
    // A file where the folder should be: no snapshot can be written.
    fs::rename(folder.Path() + "Undo", folder.Path() + "Undo.saved");
    KernelTestFolder::Write(folder.Path() + "Undo", {1, 2, 3});

    EXPECT_THROW(Record(undoer, "X"), UndoSnapshotError);
    EXPECT_EQ(undoer.Count(), 3);
    EXPECT_EQ(undoer.Current(), 1);
    EXPECT_EQ(undoer.Entry(1).NextDescription, "B");

    fs::remove(folder.Path() + "Undo");
    fs::rename(folder.Path() + "Undo.saved", folder.Path() + "Undo");
    EXPECT_TRUE(Redo(undoer));
    EXPECT_EQ(undoer.Current(), 2);
}

TEST_F(UndoerTest, ClearAndDestructionDeleteTheSnapshots) {
    {
        TobjKernelUndoer undoer(folder.Path());
        RecordInitialAB(undoer);
        undoer.Clear();
        EXPECT_EQ(undoer.Count(), 0);
        EXPECT_EQ(undoer.Current(), 0);
        EXPECT_EQ(undoer.Previous(), -1);
        EXPECT_EQ(undoer.Next(), 1);
        EXPECT_TRUE(fs::is_empty(File("")));
        RecordInitialAB(undoer);
        EXPECT_TRUE(fs::exists(File("02B.und")));
    }
    EXPECT_TRUE(fs::is_empty(File("")));
}

TEST_F(UndoerTest, AFullHistoryDropsItsOldestEntry) {
    TobjKernelUndoer undoer(folder.Path(), 3);
    std::vector<KernelPair> states;
    for (std::int32_t i = 0; i < 5; ++i) {
        TImpulseRec rec = Rec(10 + i, 1.0L);
        model.LeftKernel.AddOrMerge(rec, TMergeMode::Keep);
        Record(undoer, "Edit");
        states.push_back(Kernels());
    }
    EXPECT_EQ(undoer.Count(), 3);
    EXPECT_EQ(undoer.Current(), 2);
    for (const char* gone : {"00Edit.und", "01Edit.und"})
        EXPECT_FALSE(fs::exists(File(gone))) << gone;
    for (std::int32_t i = 0; i < 3; ++i)
        EXPECT_EQ(undoer.Entry(i).FileName, File("0" + std::to_string(i + 2) + "Edit.und"));

    EXPECT_TRUE(Undo(undoer));
    EXPECT_TRUE(Undo(undoer));
    EXPECT_EQ(Kernels(), states[2]);
    EXPECT_FALSE(Undo(undoer));

    // After an undo the next entry takes the place of the dropped tail, under a name no live entry has.
    TImpulseRec rec = Rec(-1, 1.0L);
    model.LeftKernel.AddOrMerge(rec, TMergeMode::Keep);
    Record(undoer, "Edit");
    EXPECT_EQ(undoer.Entry(1).FileName, File("03Edit.und"));
    EXPECT_TRUE(Undo(undoer));
    EXPECT_EQ(Kernels(), states[2]);
}

TEST_F(UndoerTest, ALongFolderShortensTheNameButKeepsTheExtension) {
    // A program folder of 225 characters leaves no room for the whole description.
    const std::string program = folder.Path() + std::string(224 - folder.Path().size(), 'd') + kPathSeparator;
    fs::create_directories(program);
    TobjKernelUndoer undoer(program);
    Record(undoer, "Design Reverberation");
    const std::string& name = undoer.Entry(0).FileName;
    EXPECT_EQ(name.size() + 4, TobjKernelUndoer::kMaxPathLength); // its temporary name fits as well
    EXPECT_EQ(name.substr(name.size() - 4), ".und");
    EXPECT_EQ(undoer.Entry(0).Description, "Design Reverberation");
    EXPECT_TRUE(fs::exists(name));
    undoer.Clear();
    EXPECT_FALSE(fs::exists(name));
}

} // namespace
} // namespace tarvola
