#include "audio/Streams.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

namespace tarvola {
namespace {

std::vector<std::uint8_t> ReadAll(TStream& stream) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(stream.Size()));
    stream.SetPosition(0);
    stream.ReadBuffer(bytes.data(), stream.Size());
    return bytes;
}

TEST(MemoryStream, OwnedMemoryGrowsWithWritesAndReadsBack) {
    TMemoryStream stream;
    EXPECT_TRUE(stream.Owns());
    EXPECT_EQ(stream.Size(), 0);
    EXPECT_EQ(stream.Memory(), nullptr);

    const std::uint8_t bytes[] = {1, 2, 3, 4, 5};
    EXPECT_EQ(stream.Write(bytes, 5), 5);
    EXPECT_EQ(stream.Position(), 5);
    // A write past the end zero-fills the gap.
    stream.Seek(2, SeekOrigin::End);
    stream.WriteBuffer(bytes, 1);
    EXPECT_EQ(ReadAll(stream), (std::vector<std::uint8_t>{1, 2, 3, 4, 5, 0, 0, 1}));

    std::uint8_t back[4] = {};
    stream.Seek(-3, SeekOrigin::End);
    EXPECT_EQ(stream.Read(back, 4), 3); // only three bytes remain
    EXPECT_EQ(stream.Read(back, 4), 0);
    EXPECT_THROW(stream.ReadBuffer(back, 1), StreamError);

    stream.Clear();
    EXPECT_EQ(stream.Size(), 0);
    EXPECT_EQ(stream.Position(), 0);
}

TEST(MemoryStream, RefusesPositionsBeforeTheStartAndNegativeCounts) {
    TMemoryStream stream;
    std::uint8_t byte = 0;
    EXPECT_THROW(stream.Seek(-1, SeekOrigin::Beginning), StreamError);
    EXPECT_THROW(stream.Seek(-1, SeekOrigin::Current), StreamError);
    EXPECT_THROW(stream.Read(&byte, -1), StreamError);
    EXPECT_THROW(stream.Write(&byte, -1), StreamError);
    EXPECT_EQ(stream.Position(), 0);
}

TEST(FlexMemoryStream, ViewReadsForeignMemoryAndKeepsPosition) {
    std::vector<std::uint8_t> buffer = {10, 20, 30, 40};
    TobjFlexMemoryStream view;
    view.Seek(1, SeekOrigin::Beginning);
    view.SetPointer(buffer.data(), 4);
    EXPECT_FALSE(view.Owns());
    EXPECT_EQ(view.Memory(), buffer.data());
    EXPECT_EQ(view.Size(), 4);
    EXPECT_EQ(view.Position(), 1);
    std::uint8_t byte = 0;
    view.ReadBuffer(&byte, 1);
    EXPECT_EQ(byte, 20);
}

TEST(FlexMemoryStream, WritesInsideAViewButNeverGrowsIt) {
    std::vector<std::uint8_t> buffer = {10, 20, 30, 40};
    TobjFlexMemoryStream view;
    view.SetPointer(buffer.data(), 4);
    const std::uint8_t bytes[] = {7, 8, 9};
    view.Seek(1, SeekOrigin::Beginning);
    EXPECT_EQ(view.Write(bytes, 3), 3);
    EXPECT_EQ(buffer, (std::vector<std::uint8_t>{10, 7, 8, 9}));

    view.Seek(2, SeekOrigin::Beginning);
    EXPECT_EQ(view.Write(bytes, 3), 0); // would grow the viewed buffer
    EXPECT_THROW(view.WriteBuffer(bytes, 3), StreamError);
    EXPECT_THROW(view.SetSize(8), StreamError);
    EXPECT_EQ(buffer, (std::vector<std::uint8_t>{10, 7, 8, 9}));
    EXPECT_EQ(view.Size(), 4);
}

TEST(FlexMemoryStream, PointingAtForeignMemoryFreesOwnedMemoryOnly) {
    std::vector<std::uint8_t> buffer = {1, 2};
    TobjFlexMemoryStream stream;
    const std::uint8_t bytes[100] = {};
    stream.WriteBuffer(bytes, 100); // owned; LeakSanitizer reports it if SetPointer drops it
    EXPECT_THROW(stream.SetPointer(stream.Memory() + 10, 5), StreamError);
    stream.SetPointer(buffer.data(), 2);
    EXPECT_EQ(stream.Size(), 2);
    stream.Clear();
    EXPECT_TRUE(stream.Owns());
    stream.WriteBuffer(bytes, 3); // owns new memory again
    EXPECT_EQ(buffer, (std::vector<std::uint8_t>{1, 2}));
}

// Under AddressSanitizer a free of the foreign buffer, or a read after it, ends the test.
TEST(MultiMemStrm, ClearingOrDestroyingAViewLeavesTheBufferToItsOwner) {
    auto buffer = std::make_unique<std::uint8_t[]>(16);
    for (std::uint8_t i = 0; i < 16; ++i)
        buffer[i] = i;
    TobjMultiMemStrm signalView;
    signalView.SetPointer(buffer.get(), 16);
    {
        TobjMultiMemStrm outputView;
        outputView.SetPointer(buffer.get(), 16);
        outputView.Clear();
        EXPECT_EQ(outputView.Size(), 0);
        EXPECT_EQ(outputView.Position(), 0);
        EXPECT_EQ(outputView.Memory(), nullptr);
        outputView.SetPointer(buffer.get(), 16);
    } // destroyed while viewing
    EXPECT_EQ(ReadAll(signalView)[15], 15);
}

TEST(FileStream, CreatesWritesSeeksAndReadsBack) {
    const char* name = "StreamsTest_file.bin";
    {
        TFileStream file(name, TFileStream::Mode::Create);
        const std::uint8_t bytes[] = {1, 2, 3, 4, 5, 6};
        file.WriteBuffer(bytes, 6);
        EXPECT_EQ(file.Size(), 6);
        file.Seek(-2, SeekOrigin::End);
        std::uint8_t back[2] = {};
        file.ReadBuffer(back, 2);
        EXPECT_EQ(back[0], 5);
        file.Seek(0, SeekOrigin::Beginning);
        file.WriteBuffer(back, 1); // reading then writing needs no seek from the caller
        file.Close();
        EXPECT_THROW(file.Size(), StreamError);
    }
    {
        TFileStream file(name, TFileStream::Mode::OpenRead);
        EXPECT_EQ(ReadAll(file), (std::vector<std::uint8_t>{5, 2, 3, 4, 5, 6}));
        const std::uint8_t byte = 0;
        EXPECT_EQ(file.Write(&byte, 1), 0); // read-only
    }
    std::remove(name);
}

TEST(FileStream, ReportsAMissingFileAsNotFound) {
    try {
        TFileStream file("StreamsTest_missing.bin", TFileStream::Mode::OpenRead);
        FAIL() << "opened a missing file";
    } catch (const FileOpenError& e) {
        EXPECT_TRUE(e.NotFound());
    }
}

} // namespace
} // namespace tarvola
