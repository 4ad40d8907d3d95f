#include "shell/VirtualNamesInFolder.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <set>
#include <string>
#include <vector>

namespace tarvola {
namespace {

// A folder as a shell would name its items: files of the hidden extensions lose them (any case),
// folders keep theirs, and a few items carry names of their own.
struct ScriptedShell {
    std::set<WideString> hiddenExtensions = {u".wav", u".lnk"};
    std::set<WideString> ownNamed;
    std::vector<std::size_t> asked;

    WideString Name(const TInFolderNameRequest& item) const {
        if (ownNamed.count(item.fileName) != 0)
            return u"Named " + item.fileName;
        const std::size_t dot = ExtensionStart(item.fileName);
        WideString extension = item.fileName.substr(dot);
        for (char16_t& c : extension)
            if (c >= u'A' && c <= u'Z')
                c = static_cast<char16_t>(c - u'A' + u'a');
        if (!item.folder && hiddenExtensions.count(extension) != 0)
            return item.fileName.substr(0, dot);
        return item.fileName;
    }

    std::vector<WideString> NamesOf(const std::vector<TInFolderNameRequest>& items) {
        return NamesInFolder(items, [&](std::size_t i) {
            asked.push_back(i);
            return Name(items[i]);
        });
    }
};

std::vector<TInFolderNameRequest> Files(std::initializer_list<const char16_t*> names, bool folder = false) {
    std::vector<TInFolderNameRequest> items;
    for (const char16_t* name : names)
        items.push_back({name, folder});
    return items;
}

TEST(NamesInFolderTest, ExtensionStartsAtTheLastDotWithoutASpaceAfterIt) {
    const struct {
        std::u16string name;
        std::size_t start;
    } cases[] = {
        {u"hall.wav", 4},    {u"hall.b.wav", 6}, {u"noextension", 11}, {u"hall.b c", 8},
        {u"hall. b.wav", 7}, {u".profile", 0},   {u"hall.", 4},        {u"a.b\\c", 5},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExtensionStart(c.name), c.start) << std::string(c.name.begin(), c.name.end());
}

TEST(NamesInFolderTest, EachKindIsAskedOnceAndItsOthersNamedAlike) {
    std::vector<TInFolderNameRequest> items =
        Files({u"a.wav", u"b.wav", u"c.txt", u"d.WAV", u"e.lnk", u"f.txt", u"README", u"NOTES", u"g.WAV"});
    for (const TInFolderNameRequest& folder : Files({u"Presets.wav", u"Old.wav", u"Plain"}, true))
        items.push_back(folder);
    ScriptedShell shell;
    const std::vector<WideString> names = shell.NamesOf(items);
    ASSERT_EQ(names.size(), items.size());
    for (std::size_t i = 0; i < items.size(); ++i)
        EXPECT_EQ(names[i], shell.Name(items[i])) << i;
    // .wav, .txt, .WAV, .lnk, no extension; folders: .wav, none.
    EXPECT_EQ(shell.asked, (std::vector<std::size_t>{0, 2, 3, 4, 6, 9, 11}));
}

TEST(NamesInFolderTest, AKindNamedNeitherWayIsAskedItemByItem) {
    ScriptedShell shell;
    shell.ownNamed = {u"a.ini", u"c.ini"};
    const std::vector<TInFolderNameRequest> items = Files({u"a.ini", u"b.ini", u"x.wav", u"c.ini", u"d.wav"});
    const std::vector<WideString> names = shell.NamesOf(items);
    for (std::size_t i = 0; i < items.size(); ++i)
        EXPECT_EQ(names[i], shell.Name(items[i])) << i;
    EXPECT_EQ(shell.asked, (std::vector<std::size_t>{0, 1, 2, 3}));
}

TEST(NamesInFolderTest, NamesThatAreAllExtensionAreAskedEachTime) {
    ScriptedShell shell;
    const std::vector<TInFolderNameRequest> items = Files({u"a.wav", u".wav", u".wav2", u"b.wav"});
    const std::vector<WideString> names = shell.NamesOf(items);
    for (std::size_t i = 0; i < items.size(); ++i)
        EXPECT_EQ(names[i], shell.Name(items[i])) << i;
    EXPECT_EQ(shell.asked, (std::vector<std::size_t>{0, 1, 2}));
}

TEST(NamesInFolderTest, AnEmptyAnswerSetsNoRule) {
    ScriptedShell shell;
    std::vector<std::size_t> asked;
    const std::vector<TInFolderNameRequest> items = Files({u"a.wav", u"b.wav"});
    const std::vector<WideString> names = NamesInFolder(items, [&](std::size_t i) {
        asked.push_back(i);
        return i == 0 ? WideString() : shell.Name(items[i]);
    });
    EXPECT_EQ(names, (std::vector<WideString>{u"", u"b"}));
    EXPECT_EQ(asked, (std::vector<std::size_t>{0, 1}));
}

} // namespace
} // namespace tarvola
