// Helpers shared by the echo and resonance designer tests: a kernel model that starts as the designer
// window's does (the dry record at impulse 0 in each channel), records in brief, and a program folder of
// the test's own for the settings files.
#pragma once

#include "kernel/KrnlDsgnTypes.h"
#include "kernel/designers/EchoDesigner.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace tarvola {

inline TImpulseRec Rec(std::int32_t impulse, long double value, TSourceKind kind = TSourceKind::Input) {
    TImpulseRec rec = InputTemplate;
    rec.Impulse = impulse;
    rec.Value = value;
    rec.Kind = kind;
    return rec;
}

// The impulses of a list of records, in order.
inline std::vector<std::int32_t> Impulses(const std::vector<TImpulseRec>& records) {
    std::vector<std::int32_t> impulses;
    for (const TImpulseRec& rec : records)
        impulses.push_back(rec.Impulse);
    return impulses;
}

// The records shifted by an offset.
inline std::vector<TImpulseRec> Shifted(std::vector<TImpulseRec> records, std::int32_t offset) {
    for (TImpulseRec& rec : records)
        rec.Impulse += offset;
    return records;
}

// A kernel model holding the dry record (1.0 at impulse 0) in each channel, notification on, and counting
// change notifications.
class DesignerKernels : public testing::Test {
protected:
    void SetUp() override {
        model_.ResetToDefaults();
        model_.LeftKernel.OnChange = [this] { ++changes_; };
        model_.RightKernel.OnChange = [this] { ++changes_; };
    }

    void ExpectUntouched(const std::vector<TImpulseRec>& left, const std::vector<TImpulseRec>& right) {
        EXPECT_EQ(model_.LeftKernel.Records(), left);
        EXPECT_EQ(model_.RightKernel.Records(), right);
        EXPECT_TRUE(model_.LeftKernel.Notify);
        EXPECT_TRUE(model_.RightKernel.Notify);
        EXPECT_EQ(changes_, 0);
    }

    KernelModel model_;
    int changes_ = 0;
};

// A program folder of the test's own, removed afterwards; Path() ends in the separator.
class DesignerProgramFolder {
public:
    DesignerProgramFolder() {
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        root_ = std::filesystem::temp_directory_path() /
                ("tarvola_tapdesign_" + std::string(test->test_suite_name()) + "_" + test->name() + "_" +
                 std::to_string(std::random_device{}()));
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_);
    }
    ~DesignerProgramFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    DesignerProgramFolder(const DesignerProgramFolder&) = delete;
    DesignerProgramFolder& operator=(const DesignerProgramFolder&) = delete;

    std::string Path() const { return (root_ / "").string(); }

    void WriteSettings(const std::string& fileName, const std::vector<std::uint8_t>& bytes) const {
        std::filesystem::create_directories(root_ / "User");
        std::ofstream out(root_ / "User" / fileName, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    std::vector<std::uint8_t> ReadSettings(const std::string& fileName) const {
        std::ifstream in(root_ / "User" / fileName, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

private:
    std::filesystem::path root_;
};

} // namespace tarvola
