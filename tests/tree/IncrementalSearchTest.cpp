// Incremental search against a string tree whose owner names the nodes: typed sequences (repeat, backspace,
// no match, timeout) on a fake clock, the start options, the direction and the search modes.
#include "tree/IncrementalSearch.h"

#include "tests/tree/TreeTestSupport.h"
#include "tree/StringTree.h"
#include "tree/TreeProperties.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace tarvola::test {
namespace {

constexpr wchar_t Back = 8;

struct IncrementalSearchFixture : ::testing::Test {
    RecordingHost host;
    TVirtualStringTree tree{&host};
    std::map<PVirtualNode, std::wstring> names;
    std::uint32_t now = 5000;
    int beeps = 0;
    TIncrementalSearch search{tree, [this] { return now; }, [this] { ++beeps; }};
    PVirtualNode banana = nullptr;

    void GetText(TCustomVirtualStringTree&, PVirtualNode node, TColumnIndex, TVSTTextType,
                 std::wstring& text) {
        text = names.at(node);
    }

    IncrementalSearchFixture() {
        host.tree = &tree;
        tree.OnGetText = TVSTGetTextEvent::Bind<&IncrementalSearchFixture::GetText>(this);
        tree.Properties().SetIncrementalSearch(TVTIncrementalSearch::isAll);
        for (const wchar_t* name : {L"apple", L"banana", L"avocado", L"cherry", L"apricot"}) {
            PVirtualNode node = tree.AddChild(nullptr);
            names[node] = name;
            if (names[node] == L"banana")
                banana = node;
        }
        // A collapsed child between banana and avocado in tree order.
        names[tree.AddChild(banana)] = L"acorn";
    }

    void Type(const std::wstring& keys) {
        for (wchar_t key : keys)
            search.HandleChar(key);
    }
    std::wstring Focused() const { return tree.FocusedNode() ? names.at(tree.FocusedNode()) : L"(none)"; }
    PVirtualNode Named(const std::wstring& name) const {
        for (const auto& [node, text] : names)
            if (text == name)
                return node;
        return nullptr;
    }
};

struct SequenceCase {
    const char* what;
    std::wstring keys;
    std::wstring focused;
    std::wstring buffer;
    int beeps;
};

TEST_F(IncrementalSearchFixture, TypedSequences) {
    const std::vector<SequenceCase> cases = {
        {"first letter", L"a", L"apple", L"a", 0},
        {"prefix grows", L"av", L"avocado", L"av", 0},
        {"repeat moves on", L"aa", L"acorn", L"a", 0},
        {"repeat again", L"aaa", L"avocado", L"a", 0},
        {"repeat wraps round", L"aaaaa", L"apple", L"a", 0},
        {"longer prefix", L"apr", L"apricot", L"apr", 0},
        {"backspace shortens and searches back", std::wstring(L"apr") + Back, L"apple", L"ap", 0},
        {"backspace on one character does nothing", std::wstring(L"c") + Back, L"cherry", L"c", 0},
        {"backspace on an empty buffer does nothing", std::wstring(1, Back), L"(none)", L"", 0},
        {"no match beeps and keeps the buffer", L"chx", L"cherry", L"ch", 1},
        {"no match at all", L"z", L"(none)", L"", 1},
        {"the doubled letter needs a second character", L"bx", L"banana", L"b", 1},
    };
    for (const SequenceCase& c : cases) {
        SCOPED_TRACE(c.what);
        search.EndSearch();
        tree.ClearSelection();
        tree.SetFocusedNode(nullptr);
        beeps = 0;
        Type(c.keys);
        EXPECT_EQ(Focused(), c.focused);
        EXPECT_EQ(search.SearchBuffer(), c.buffer);
        EXPECT_EQ(beeps, c.beeps);
        if (c.focused != L"(none)") {
            EXPECT_TRUE(tree.Selected(tree.FocusedNode()));
            EXPECT_EQ(tree.SelectedCount(), 1u);
            EXPECT_EQ(search.LastSearchNode(), tree.FocusedNode());
        }
    }
}

TEST_F(IncrementalSearchFixture, RepeatGivesWayWhenTheStartNodeHasTheDoubledLetter) {
    names[Named(L"apple")] = L"aardvark";
    Type(L"aa");
    EXPECT_EQ(Focused(), L"aardvark");
    EXPECT_EQ(search.SearchBuffer(), L"aa");
    Type(L"r");
    EXPECT_EQ(Focused(), L"aardvark");
    EXPECT_EQ(search.SearchBuffer(), L"aar");
}

TEST_F(IncrementalSearchFixture, TimeoutStartsANewSearch) {
    struct Case {
        const char* what;
        std::uint32_t start;
        std::uint32_t pause;
        std::wstring focused;
        std::wstring buffer;
    };
    const std::vector<Case> cases = {
        {"within the timeout the keys add up", 5000, 999, L"acorn", L"ac"},
        {"at the timeout a new search begins", 5000, 1000, L"cherry", L"c"},
        {"the tick count wrapping is no timeout", 0xFFFFFE00u, 600, L"acorn", L"ac"},
        {"the tick count wrapping still times out", 0xFFFFFE00u, 1200, L"cherry", L"c"},
    };
    // "ac" matches only the collapsed child.
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        search.EndSearch();
        tree.SetFocusedNode(nullptr);
        now = c.start;
        Type(L"a");
        now += c.pause;
        Type(L"c");
        EXPECT_EQ(Focused(), c.focused);
        EXPECT_EQ(search.SearchBuffer(), c.buffer);
    }
}

TEST_F(IncrementalSearchFixture, TimerRunsWhileSearchingAndItsExpiryEndsTheSearch) {
    tree.Properties().IncrementalSearchTimeout = 700;
    Type(L"a");
    EXPECT_TRUE(tree.InState(TreeState::tsIncrementalSearching));
    EXPECT_EQ(host.runningTimers.at(SearchTimer), 700u);
    search.EndSearch(); // the timer's message
    EXPECT_FALSE(tree.InState(TreeState::tsIncrementalSearching));
    EXPECT_EQ(host.runningTimers.count(SearchTimer), 0u);
    EXPECT_EQ(search.SearchBuffer(), L"");
    EXPECT_EQ(search.LastSearchNode(), nullptr);
    // The next key starts over from the focused node.
    Type(L"a");
    EXPECT_EQ(Focused(), L"acorn");
    EXPECT_EQ(search.SearchBuffer(), L"a");
}

TEST_F(IncrementalSearchFixture, StartOptionChoosesTheNodeByItsName) {
    struct Case {
        TVTSearchStart start;
        std::wstring focused;
    };
    // After "a" found apple, the focus moves to cherry; typing "a" again (a repeat) searches on from...
    const std::vector<Case> cases = {
        {TVTSearchStart::ssAlwaysStartOver, L"apple"}, // ...the top
        {TVTSearchStart::ssLastHit, L"acorn"},         // ...the last hit, apple
        {TVTSearchStart::ssFocusedNode, L"apricot"},   // ...the focused node, cherry
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.start));
        search.EndSearch();
        tree.SetFocusedNode(nullptr);
        tree.Properties().IncrementalSearchStart = c.start;
        Type(L"a");
        ASSERT_EQ(Focused(), L"apple");
        tree.SetFocusedNode(Named(L"cherry"));
        Type(L"a");
        EXPECT_EQ(Focused(), c.focused);
    }
}

TEST_F(IncrementalSearchFixture, DirectionAndBackspaceGoingTheOtherWay) {
    // Tree order: apple, avian, acorn (its child), avocado, avalanche, apricot.
    names[Named(L"banana")] = L"avian";
    names[Named(L"cherry")] = L"avalanche";
    struct Case {
        TVTSearchDirection direction;
        std::wstring first;     // after "a"
        std::wstring afterBack; // after "avo" and a backspace
    };
    const std::vector<Case> cases = {
        {TVTSearchDirection::sdForward, L"apple", L"avian"},
        {TVTSearchDirection::sdBackward, L"apricot", L"avalanche"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.direction));
        search.EndSearch();
        tree.SetFocusedNode(nullptr);
        tree.Properties().IncrementalSearchDirection = c.direction;
        Type(L"a");
        EXPECT_EQ(Focused(), c.first);
        Type(L"vo");
        EXPECT_EQ(Focused(), L"avocado");
        Type(std::wstring(1, Back));
        EXPECT_EQ(Focused(), c.afterBack);
        EXPECT_EQ(search.SearchBuffer(), L"av");
    }
}

TEST_F(IncrementalSearchFixture, ModesChooseTheNodesSearched) {
    struct Case {
        TVTIncrementalSearch mode;
        std::wstring afterRepeat;
        int beeps;
    };
    // The whole search initialises the collapsed child, so the initialised-only search comes before it.
    const std::vector<Case> cases = {
        {TVTIncrementalSearch::isNone, L"(none)", 0},
        {TVTIncrementalSearch::isInitializedOnly, L"avocado", 0},
        {TVTIncrementalSearch::isVisibleOnly, L"avocado", 0},
        {TVTIncrementalSearch::isAll, L"acorn", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.mode));
        search.EndSearch();
        tree.SetFocusedNode(nullptr);
        beeps = 0;
        // The visible rows are initialised (as painting does); the collapsed child is not, until searched.
        for (PVirtualNode node = tree.GetFirstVisible(); node; node = tree.GetNextVisible(node)) {
        }
        if (c.mode == TVTIncrementalSearch::isInitializedOnly) {
            EXPECT_EQ(Named(L"acorn")->States & nsInitialized, 0u);
        }
        tree.Properties().SetIncrementalSearch(c.mode);
        Type(L"aa");
        EXPECT_EQ(Focused(), c.afterRepeat);
        EXPECT_EQ(beeps, c.beeps);
        EXPECT_EQ(host.runningTimers.count(SearchTimer), c.mode == TVTIncrementalSearch::isNone ? 0u : 1u);
    }
}

TEST_F(IncrementalSearchFixture, StartNodeOutsideTheModeCountsAsNone) {
    // The focused node is the collapsed child: not visible, so the visible search starts at the top.
    tree.Properties().SetIncrementalSearch(TVTIncrementalSearch::isVisibleOnly);
    tree.SetFocusedNode(Named(L"acorn"));
    Type(L"c");
    EXPECT_EQ(Focused(), L"cherry");
}

TEST_F(IncrementalSearchFixture, TypedCharactersAreTakenAsUtf16) {
    names[Named(L"cherry")] = L"\u0416\u0443\u043a"; // Cyrillic
    names[Named(L"banana")] = L"\U0001F34C banana";  // a surrogate pair
    Type(L"\u0416");
    EXPECT_EQ(Focused(), L"\u0416\u0443\u043a");
    search.EndSearch();
    Type(L"\U0001F34C");
    EXPECT_EQ(Focused(), L"\U0001F34C banana");
    EXPECT_EQ(search.SearchBuffer(), L"\U0001F34C");
}

TEST_F(IncrementalSearchFixture, AFreedLastHitIsForgotten) {
    tree.Properties().IncrementalSearchStart = TVTSearchStart::ssLastHit;
    Type(L"ch");
    PVirtualNode hit = search.LastSearchNode();
    ASSERT_EQ(names.at(hit), L"cherry");
    search.ForgetNode(Named(L"apple"));
    EXPECT_EQ(search.LastSearchNode(), hit);
    search.ForgetNode(hit);
    EXPECT_EQ(search.LastSearchNode(), nullptr);
}

} // namespace
} // namespace tarvola::test
