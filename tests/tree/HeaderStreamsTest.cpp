// Column and header streams: round trips that keep widths outside the default limits and the parent-colour
// option, old versions and their option conversion, and corrupt streams that must raise the stream error
// without reading past the data.
#include "tests/tree/HeaderTestSupport.h"

#include "audio/Streams.h"
#include "base/ByteOrder.h"

#include <gtest/gtest.h>

#include <cstring>

namespace tarvola::test {
namespace {

void PutI32(TMemoryStream& stream, std::int32_t value) {
    std::uint8_t bytes[4];
    PutLE<std::int32_t>(bytes, value);
    stream.WriteBuffer(bytes, 4);
}

int ErrorCode(const std::function<void()>& load) {
    try {
        load();
    } catch (const EVirtualTreeError& error) {
        return error.Code();
    }
    return 0;
}

TEST(ColumnStream, OptionsOfOlderVersionsMoveIntoTodaysBits) {
    struct Case {
        std::int32_t stored;
        int version;
        TVTColumnOptions expected;
    };
    const Case cases[] = {
        {0x3F, 1, coAllowClick | coDraggable | coEnabled | coParentBidiMode | coResizable | coShowDropMark},
        {0x3F, -1, 0x6F},
        {0xFF, 0, 0xEF}, // the top bit falls off: old streams had eight bits only
        {0x1FF, 2, 0xFF},
        {0x1FF, 3, 0x1FF},
        {0x7FFFF, 3, 0xFFFF},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ConvertStoredColumnOptions(c.stored, c.version), c.expected)
            << c.stored << " v" << c.version;
}

TEST(ColumnStream, RoundTripKeepsEveryFieldAndThePositions) {
    HeaderFixture source({10, 20, 30});
    TVirtualTreeColumn& wide = source.columns[1];
    wide.SetMaxWidth(30000);
    wide.SetMinWidth(15000);
    wide.SetWidth(20000);
    wide.SetText(L"Name");
    wide.SetHint(L"The item's name");
    wide.SetTag(7);
    wide.SetAlignment(TAlignment::taCenter);
    wide.SetLayout(TVTHeaderColumnLayout::blGlyphBottom);
    wide.SetImageIndex(3);
    wide.SetMargin(6);
    wide.SetSpacing(2);
    source.columns[0].SetMinWidth(2);
    source.columns[0].SetWidth(3);
    source.columns[2].SetColor(0x00ABCDEF);
    source.columns[2].SetBiDiMode(TBiDiMode::bdRightToLeft);
    source.columns[0].SetPosition(2);
    ASSERT_TRUE(source.columns[1].Has(coParentColor));

    TMemoryStream stream;
    source.columns.SaveToStream(stream);
    stream.SetPosition(0);
    HeaderFixture target;
    target.columns.LoadFromStream(stream, HeaderStreamVersion);
    EXPECT_EQ(stream.Position(), stream.Size());
    ASSERT_EQ(target.columns.Count(), 3);
    EXPECT_TRUE(target.columns.Equals(source.columns));
    EXPECT_EQ(target.columns[1].Width(), 20000);
    EXPECT_EQ(target.columns[0].Width(), 3);
    EXPECT_TRUE(target.columns[1].Has(coParentColor));
    EXPECT_FALSE(target.columns[2].Has(coParentColor | coParentBidiMode));
    EXPECT_EQ(target.columns.PositionToIndex(), (std::vector<TColumnIndex>{1, 2, 0}));
    EXPECT_EQ(target.Lefts(), (std::vector<int>{20030, 0, 20000}));
}

TEST(HeaderStream, RoundTripAndAnOldStreamWithoutVersion) {
    HeaderFixture source({40, 50});
    source.header.SetHeight(24);
    source.header.SetStyle(TVTHeaderStyle::hsXPStyle);
    source.header.SetOptions(hoVisible | hoDrag | hoShowSortGlyphs);
    source.header.SetMainColumn(1);
    source.header.SetSortColumn(1);
    source.header.SetSortDirection(TSortDirection::sdDescending);
    THeaderFont font;
    font.Name = "Tahoma";
    font.Height = -13;
    source.header.SetFont(font);
    TMemoryStream stream;
    source.header.SaveToStream(stream);

    stream.SetPosition(0);
    HeaderFixture target;
    target.header.LoadFromStream(stream);
    EXPECT_TRUE(target.columns.Equals(source.columns));
    EXPECT_EQ(target.header.Height(), 24);
    EXPECT_EQ(target.header.Style(), TVTHeaderStyle::hsXPStyle);
    EXPECT_EQ(target.header.Options(), hoVisible | hoDrag | hoShowSortGlyphs);
    EXPECT_EQ(target.header.MainColumn(), 1);
    EXPECT_EQ(target.header.SortColumn(), 1);
    EXPECT_EQ(target.header.SortDirection(), TSortDirection::sdDescending);
    EXPECT_EQ(target.header.Font(), font);
    EXPECT_EQ(target.header.States(), 0);
    EXPECT_EQ(target.tree.log.back(), "Resize -1");

    // Before versions: the column count first, column records without tag, alignment and colour, and no
    // main or sort column at the end.
    TMemoryStream old;
    PutI32(old, 1);                                                 // count
    PutI32(old, 1);                                                 // text length
    old.WriteBuffer("A\0", 2);                                      // "A"
    PutI32(old, 0);                                                 // hint
    for (std::int32_t v : {77, 10, 10000, 0, -1, 0, 4, 4, 0, 0x3F}) // width .. options
        PutI32(old, v);
    PutI32(old, 0); // positions
    for (std::int32_t v : {0, 15, 17, static_cast<int>(hoDrag), 0, 0, -11})
        PutI32(old, v);
    PutI32(old, 5);
    old.WriteBuffer("Arial", 5);
    PutI32(old, 0);
    PutI32(old, 0);
    old.SetPosition(0);
    HeaderFixture loaded;
    loaded.header.LoadFromStream(old);
    EXPECT_EQ(old.Position(), old.Size());
    ASSERT_EQ(loaded.columns.Count(), 1);
    EXPECT_EQ(loaded.columns[0].Text(), L"A");
    EXPECT_EQ(loaded.columns[0].Width(), 77);
    EXPECT_EQ(loaded.columns[0].Options(), 0x6F);
    EXPECT_EQ(loaded.header.Font().Name, "Arial");
}

TEST(HeaderStream, CorruptLengthsAndCountsRaiseTheStreamError) {
    HeaderFixture source({40, 50});
    source.columns[0].SetText(L"Column");
    TMemoryStream good;
    source.header.SaveToStream(good);
    const auto bytes = std::vector<std::uint8_t>(good.Memory(), good.Memory() + good.Size());

    struct Case {
        const char* name;
        std::size_t offset; // where an i32 is overwritten
        std::int32_t value;
        int code;
    };
    const std::size_t fontNameOffset = bytes.size() - 4 * 5 - source.header.Font().Name.size() - 4;
    const Case cases[] = {
        {"unknown version", 4, 9, 2003},
        {"huge column count", 8, 0x7FFFFFFF, 2004},
        {"negative column count", 8, -5, 2002},
        {"huge text length", 12, 0x40000000, 2004},
        {"negative text length", 12, -1, 2002},
        {"position out of range", bytes.size() - 12 * 4 - 4 - source.header.Font().Name.size() - 4, 9, 2002},
        {"huge font name", fontNameOffset, 0x7FFFFFF0, 2004},
        {"negative height", bytes.size() - 12 * 4 - 4 - source.header.Font().Name.size() + 8, -3, 2002},
        {"unknown header style", bytes.size() - 12 * 4 - 4 - source.header.Font().Name.size() + 16, 4, 2002},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> corrupt = bytes;
        PutLE<std::int32_t>(corrupt.data() + c.offset, c.value);
        TMemoryStream stream;
        stream.WriteBuffer(corrupt.data(), static_cast<std::int64_t>(corrupt.size()));
        stream.SetPosition(0);
        HeaderFixture target;
        EXPECT_EQ(ErrorCode([&] { target.header.LoadFromStream(stream); }), c.code) << c.name;
        EXPECT_EQ(target.header.States() & hsLoading, 0) << c.name;
    }
    for (std::size_t length : {std::size_t{3}, std::size_t{30}, bytes.size() - 1}) {
        TMemoryStream truncated;
        truncated.WriteBuffer(bytes.data(), static_cast<std::int64_t>(length));
        truncated.SetPosition(0);
        HeaderFixture target;
        EXPECT_EQ(ErrorCode([&] { target.header.LoadFromStream(truncated); }), 2004) << length;
    }
}

TEST(HeaderAssign, CopiesTheColumnsAndEverySetting) {
    HeaderFixture source({40, 50, 60});
    source.columns[2].SetPosition(0);
    source.columns[1].SetText(L"Size");
    source.header.SetHeight(30);
    source.header.SetMainColumn(2);
    source.header.SetSortColumn(1);
    source.header.SetStyle(TVTHeaderStyle::hsPlates);
    source.header.SetOptions(hoVisible | hoHotTrack);
    HeaderFixture target({10});
    target.header.Assign(source.header);
    EXPECT_TRUE(target.columns.Equals(source.columns));
    EXPECT_EQ(target.header.Height(), 30);
    EXPECT_EQ(target.header.MainColumn(), 2);
    EXPECT_EQ(target.header.SortColumn(), 1);
    EXPECT_EQ(target.header.Style(), TVTHeaderStyle::hsPlates);
    EXPECT_EQ(target.header.Options(), hoVisible | hoHotTrack);
}

} // namespace
} // namespace tarvola::test
