#include "shell/VirtualStreamable.h"
#include "shell/VirtualWideFileStream.h"
#include "shell/VirtualWideStringList.h"

#include "shell/VirtualPIDLTools.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace tarvola {
namespace {

WideString WidePath(const std::filesystem::path& path) {
    return WideString(reinterpret_cast<const char16_t*>(path.wstring().c_str()));
}

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(WideFileStream, CreatesWritesAndReadsByAWideName) {
    test::TTempFolder folder;
    const auto path = folder.Path() / L"\u00E9t\u00E9 \u4E2D.txt";
    {
        TWideFileStream stream(WidePath(path), fmCreate);
        stream.WriteBuffer("abcdef", 6);
        EXPECT_EQ(stream.Size(), 6);
        EXPECT_EQ(stream.Seek(-2, SeekOrigin::End), 4);
        char two[2];
        stream.ReadBuffer(two, 2);
        EXPECT_EQ(std::string(two, 2), "ef");
        EXPECT_EQ(stream.Read(two, 2), 0);
    }
    TWideFileStream reader(WidePath(path), fmOpenRead | fmShareDenyNone);
    EXPECT_EQ(reader.Size(), 6);
    // Sharing: a second reader is welcome while the first allows it; an exclusive open is not.
    TWideFileStream second(WidePath(path), fmOpenRead | fmShareDenyNone);
    EXPECT_THROW(TWideFileStream(WidePath(path), fmOpenRead | fmShareExclusive), EFCreateError);
}

TEST(WideFileStream, MissingFileNamesItselfInTheError) {
    test::TTempFolder folder;
    try {
        TWideFileStream stream(WidePath(folder.Path() / "missing.txt"), fmOpenRead);
        FAIL() << "opened a missing file";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Cannot create file ", 0), 0u) << e.what();
        EXPECT_NE(std::string(e.what()).find("missing.txt"), std::string::npos);
        EXPECT_TRUE(e.NotFound());
    }
}

TEST(WideFileStream, StringListFilesRoundTrip) {
    test::TTempFolder folder;
    const auto path = folder.Path() / "CacheList.txt";
    TWideStringList list;
    list.Add(u"x");
    list.Add(u"\u4E2D");
    list.SaveToFile(WidePath(path));
    EXPECT_EQ(ReadAll(path), std::string("\xFF\xFEx\0\r\0\n\0\x2D\x4E\r\0\n\0", 14));
    EXPECT_FALSE(std::filesystem::exists(path.wstring() + L".tmp~"));
    TWideStringList loaded;
    loaded.LoadFromFile(WidePath(path));
    EXPECT_EQ(loaded.Text(), list.Text());
    EXPECT_THROW(loaded.LoadFromFile(WidePath(folder.Path() / "none.txt")), EFCreateError);
}

TEST(WideFileStream, FailedSaveKeepsTheOldFile) {
    test::TTempFolder folder;
    const auto path = folder.Write("state.dat", "old");
    EXPECT_THROW(SaveWideFileWhole(WidePath(path),
                                   [](TStream& stream) {
                                       stream.WriteBuffer("new", 3);
                                       throw StreamError("disk full");
                                   }),
                 StreamError);
    EXPECT_EQ(ReadAll(path), "old");
    EXPECT_FALSE(std::filesystem::exists(path.wstring() + L".tmp~"));
}

class TNumbers final : public TStreamableList {
public:
    void Clear() override { items.clear(); }
    void LoadFromStream(TStream& stream, std::int32_t version, bool readVer) override {
        TStreamableList::LoadFromStream(stream, version, readVer);
        while (stream.Position() < stream.Size())
            items.push_back(ReadInt32(stream));
    }
    void SaveToStream(TStream& stream, std::int32_t version, bool writeVer) override {
        TStreamableList::SaveToStream(stream, version, writeVer);
        for (const std::int32_t item : items)
            WriteInt32(stream, item);
    }
    std::vector<std::int32_t> items;
};

TEST(WideFileStream, ListFilesCarryNoVersionWord) {
    test::TTempFolder folder;
    const auto path = folder.Path() / "views.dat";
    TNumbers numbers;
    numbers.items = {4, 5};
    numbers.SaveToFile(WidePath(path), 7, true);
    EXPECT_EQ(ReadAll(path), std::string("\x04\0\0\0\x05\0\0\0", 8));
    TNumbers loaded;
    loaded.LoadFromFile(WidePath(path), 7, true);
    EXPECT_EQ(loaded.items, numbers.items);
    EXPECT_EQ(loaded.StreamVersion(), 0);
}

} // namespace
} // namespace tarvola
