#include "shell/VirtualWideStringList.h"

#include "audio/Streams.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarvola {
namespace {

std::vector<std::u16string> Lines(const TWideStringList& list) {
    std::vector<std::u16string> out;
    for (int i = 0; i < list.Count(); ++i)
        out.push_back(list.Get(i));
    return out;
}

TEST(WideStringList, SplitsLinesAtEveryBreak) {
    struct Case {
        std::u16string text;
        std::vector<std::u16string> lines;
    };
    const std::vector<Case> cases = {
        {u"a\r\nb", {u"a", u"b"}},
        {u"a\r\rb", {u"a", u"", u"b"}},
        {u"a\n\rb", {u"a", u"", u"b"}},
        {u"a\u2028b\u2029c", {u"a", u"b", u"c"}},
        {u"a\vb\fc", {u"a", u"b", u"c"}},
        {u"a\r\n", {u"a"}},
        {u"a\r\n\r\n", {u"a", u""}},
        {u"", {}},
        {u"\n", {u""}},
    };
    for (const Case& c : cases) {
        TWideStringList list(CodePage1252Text());
        list.SetText(c.text);
        EXPECT_EQ(Lines(list), c.lines) << WideToUtf8(c.text);
    }
}

std::string Bytes(TMemoryStream& stream) {
    return std::string(reinterpret_cast<const char*>(stream.Memory()),
                       static_cast<std::size_t>(stream.Size()));
}

TEST(WideStringList, SavesUtf16LittleEndianBehindItsMark) {
    TWideStringList list(CodePage1252Text());
    list.Add(u"x");
    list.Add(u"y");
    TMemoryStream stream;
    list.SaveToStream(stream);
    EXPECT_EQ(Bytes(stream), std::string("\xFF\xFE\x78\x00\x0D\x00\x0A\x00\x79\x00\x0D\x00\x0A\x00", 14));
}

TEST(WideStringList, LoadsEveryEncodingToTheSameList) {
    struct Case {
        const char* what;
        std::string bytes;
        std::vector<std::u16string> lines;
    };
    const std::vector<Case> cases = {
        {"UTF-16LE", std::string("\xFF\xFE\xE9\x00\r\x00\n\x00y\x00", 10), {u"\u00E9", u"y"}},
        {"UTF-16BE", std::string("\xFE\xFF\x00\xE9\x00\r\x00\n\x00y", 10), {u"\u00E9", u"y"}},
        {"code page", "\xE9\r\ny", {u"\u00E9", u"y"}},
        {"odd byte after the mark", std::string("\xFF\xFEy\x00z", 5), {u"y"}},
        {"mark alone", "\xFF\xFE", {}},
        {"one byte", "q", {u"q"}},
        {"empty", "", {}},
    };
    for (const Case& c : cases) {
        TWideStringList list(CodePage1252Text());
        list.Add(u"old");
        TMemoryStream stream;
        stream.WriteBuffer(c.bytes.data(), static_cast<std::int64_t>(c.bytes.size()));
        stream.SetPosition(0);
        list.LoadFromStream(stream);
        EXPECT_EQ(Lines(list), c.lines) << c.what;
    }
}

TEST(WideStringList, LoadsFromTheStreamPositionOn) {
    TMemoryStream stream;
    stream.WriteBuffer("skip\xFF\xFEk\x00", 8);
    stream.SetPosition(4);
    TWideStringList list(CodePage1252Text());
    list.LoadFromStream(stream);
    EXPECT_EQ(Lines(list), std::vector<std::u16string>{u"k"});
}

TEST(WideStringList, SortedListAppliesItsDuplicatesRule) {
    TWideStringList list(CodePage1252Text());
    list.SetSorted(true);
    EXPECT_EQ(list.Add(u"b"), 0);
    EXPECT_EQ(list.Add(u"Name"), 1);
    EXPECT_EQ(list.Add(u"NAME"), 1); // ignored: the comparison ignores case
    EXPECT_EQ(list.Add(u"a"), 0);
    EXPECT_EQ(Lines(list), (std::vector<std::u16string>{u"a", u"b", u"Name"}));
    EXPECT_EQ(list.IndexOf(u"name"), 2);
    EXPECT_EQ(list.IndexOf(u"c"), -1);

    list.SetDuplicates(TDuplicates::dupError);
    try {
        list.Add(u"A");
        FAIL() << "a duplicate was accepted";
    } catch (const EStringListError& e) {
        EXPECT_STREQ(e.what(), "String list does not allow duplicates");
    }
    list.SetDuplicates(TDuplicates::dupAccept);
    list.Add(u"B");
    EXPECT_EQ(list.Count(), 4);
    int index = -1;
    EXPECT_TRUE(list.Find(u"b", index));
    EXPECT_EQ(index, 1); // the lowest of the equal ones
}

TEST(WideStringList, RefusesBadIndexesAndSortedEdits) {
    TWideStringList list(CodePage1252Text());
    list.Add(u"a");
    struct Case {
        const char* what;
        std::function<void()> call;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"Get", [&] { list.Get(1); }, "List index out of bounds (1)"},
        {"Get negative", [&] { list.Get(-1); }, "List index out of bounds (-1)"},
        {"Put", [&] { list.Put(5, u"x"); }, "List index out of bounds (5)"},
        {"Delete", [&] { list.Delete(1); }, "List index out of bounds (1)"},
        {"Exchange", [&] { list.Exchange(0, 2); }, "List index out of bounds (2)"},
        {"GetObject", [&] { list.GetObject(3); }, "List index out of bounds (3)"},
        {"Insert", [&] { list.Insert(2, u"x"); }, "List index out of bounds (2)"},
        {"Capacity", [&] { list.SetCapacity(0); }, "List capacity out of bounds (0)"},
    };
    for (const Case& c : cases) {
        try {
            c.call();
            ADD_FAILURE() << c.what << " did not raise";
        } catch (const EStringListError& e) {
            EXPECT_STREQ(e.what(), c.message) << c.what;
        }
    }
    list.Insert(1, u"b"); // Count itself is a valid insertion point
    list.SetSorted(true);
    EXPECT_THROW(list.Insert(0, u"c"), EStringListError);
    EXPECT_THROW(list.Put(0, u"c"), EStringListError);
}

TEST(WideStringList, CapacityGrowsInSteps) {
    TWideStringList list(CodePage1252Text());
    std::vector<int> capacities;
    for (int i = 0; i < 100; ++i) {
        list.Add(u"x");
        if (capacities.empty() || capacities.back() != list.Capacity())
            capacities.push_back(list.Capacity());
    }
    EXPECT_EQ(capacities, (std::vector<int>{4, 8, 12, 28, 44, 60, 76, 95, 118}));
}

TEST(WideStringList, CommaTextSplitsQuotedAndBareItems) {
    TWideStringList list(CodePage1252Text());
    list.SetCommaText(u"  a, \"b c\",\"d\"\"e\" f,,g ");
    EXPECT_EQ(Lines(list), (std::vector<std::u16string>{u"a", u"b c", u"d\"e", u"f", u"", u"g"}));
}

TEST(WideStringList, ChangeEventsAndOwnedObjects) {
    TWideStringList list(CodePage1252Text());
    int changing = 0;
    int changed = 0;
    list.OnChanging = [&] { ++changing; };
    list.OnChange = [&] { ++changed; };
    list.Add(u"a");
    list.Add(u"b");
    list.Exchange(0, 1);
    EXPECT_EQ(changing, 3);
    EXPECT_EQ(changed, 3);
    list.SetText(u"x\ny\nz"); // one change for the whole text
    EXPECT_EQ(changed, 4);

    std::vector<int> freed;
    int one = 1, two = 2;
    {
        TWideStringList owner(CodePage1252Text());
        owner.SetObjectDeleter([&](void* o) { freed.push_back(*static_cast<int*>(o)); });
        owner.AddObject(u"one", &one);
        owner.AddObject(u"two", &two);
        owner.Delete(0);
        EXPECT_EQ(freed, std::vector<int>{1});
    }
    EXPECT_EQ(freed, (std::vector<int>{1, 2}));
}

TEST(WideStringList, SortsSortedAndReversedInputAlike) {
    for (const bool reversed : {false, true}) {
        TWideStringList list(CodePage1252Text());
        for (int i = 0; i < 2000; ++i) {
            const int n = reversed ? 1999 - i : i;
            std::u16string s = Utf8ToWide(std::to_string(100000 + n));
            list.Add(s);
        }
        list.Add(u"000");
        list.Sort();
        EXPECT_EQ(list.Get(0), u"000");
        for (int i = 1; i < list.Count(); ++i)
            ASSERT_LT(CodePage1252Text().CompareText(list.Get(i - 1), list.Get(i)), 0);
    }
}

TEST(WideStringList, AssignAndCodePageStrings) {
    TWideStringList source(CodePage1252Text());
    source.AddAnsiStrings({"caf\xE9", "x"});
    EXPECT_EQ(source.Get(0), u"caf\u00E9");
    TWideStringList copy(CodePage1252Text());
    copy.Add(u"gone");
    copy.Assign(source);
    EXPECT_EQ(Lines(copy), Lines(source));
    EXPECT_EQ(copy.ToAnsiStrings(), (std::vector<std::string>{"caf\xE9", "x"}));
}

TEST(WideStringList, ShortStreamAddsNothing) {
    struct TShortStream : TMemoryStream {
        std::int64_t Size() const override {
            return TMemoryStream::Size() + 10;
        } // announces more than it has
    } stream;
    stream.WriteBuffer("\xFF\xFEx\x00", 4);
    stream.SetPosition(0);
    TWideStringList list(CodePage1252Text());
    list.Add(u"kept");
    EXPECT_THROW(list.LoadFromStream(stream), StreamError);
    EXPECT_EQ(Lines(list), std::vector<std::u16string>{u"kept"});
}

} // namespace
} // namespace tarvola
