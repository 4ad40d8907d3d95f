#include "shell/VirtualStreamable.h"

#include "audio/Streams.h"
#include "shell/VirtualPIDLTools.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarvola {
namespace {

// A descendant in the way the explorer's saved state is built: the base first, then its own field.
class TPoint final : public TStreamableClass {
public:
    void LoadFromStream(TStream& stream, std::int32_t version, bool readVer) override {
        TStreamableClass::LoadFromStream(stream, version, readVer);
        x = ReadInt32(stream);
    }
    void SaveToStream(TStream& stream, std::int32_t version, bool writeVer) override {
        TStreamableClass::SaveToStream(stream, version, writeVer);
        WriteInt32(stream, x);
    }
    std::int32_t x = 0;
};

class TNumbers final : public TStreamableList {
public:
    void Clear() override { items.clear(); }
    void LoadFromStream(TStream& stream, std::int32_t version, bool readVer) override {
        TStreamableList::LoadFromStream(stream, version, readVer);
        const std::int32_t count = ReadInt32(stream);
        for (std::int32_t i = 0; i < count; ++i)
            items.push_back(ReadInt32(stream));
    }
    void SaveToStream(TStream& stream, std::int32_t version, bool writeVer) override {
        TStreamableList::SaveToStream(stream, version, writeVer);
        WriteInt32(stream, static_cast<std::int32_t>(items.size()));
        for (const std::int32_t item : items)
            WriteInt32(stream, item);
    }
    std::vector<std::int32_t> items;
};

std::string Bytes(TMemoryStream& stream) {
    return std::string(reinterpret_cast<const char*>(stream.Memory()),
                       static_cast<std::size_t>(stream.Size()));
}

TEST(Streamable, VersionWordLeadsTheFieldsWhenAsked) {
    struct Case {
        bool word;
        std::string bytes;
        std::int32_t versionAfterLoad;
    };
    const std::vector<Case> cases = {
        {true, std::string("\x03\0\0\0\x07\0\0\0", 8), 3},
        {false, std::string("\x07\0\0\0", 4), 9}, // without the word, the caller's version stands
    };
    for (const Case& c : cases) {
        TPoint saved;
        EXPECT_EQ(saved.StreamVersion(), -1);
        saved.x = 7;
        TMemoryStream stream;
        saved.SaveToStream(stream, 3, c.word);
        EXPECT_EQ(saved.StreamVersion(), 3);
        EXPECT_EQ(Bytes(stream), c.bytes);

        stream.SetPosition(0);
        TPoint loaded;
        loaded.LoadFromStream(stream, 9, c.word);
        EXPECT_EQ(loaded.x, 7);
        EXPECT_EQ(loaded.StreamVersion(), c.versionAfterLoad);
    }
}

TEST(Streamable, ListLoadClearsFirst) {
    TNumbers numbers;
    numbers.items = {1, 2};
    TMemoryStream stream;
    numbers.SaveToStream(stream, 2, true);
    EXPECT_EQ(Bytes(stream), std::string("\x02\0\0\0\x02\0\0\0\x01\0\0\0\x02\0\0\0", 16));
    stream.SetPosition(0);
    numbers.items = {5, 6, 7};
    numbers.LoadFromStream(stream, 0, true);
    EXPECT_EQ(numbers.items, (std::vector<std::int32_t>{1, 2}));
    EXPECT_EQ(numbers.StreamVersion(), 2);
}

} // namespace
} // namespace tarvola
