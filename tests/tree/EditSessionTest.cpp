// In-place editing: the tree's edit protocol with a recording editor link, the default string editor's
// rules with a fake edit control, and the pure placement and key rules.
#include "tests/tree/TreeTestSupport.h"

#include "tree/EditSession.h"
#include "tree/Header.h"
#include "tree/StringEditLink.h"
#include "tree/TreeOptions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

namespace tarvola::test {
namespace {

using Log = std::vector<std::string>;

// A link that logs each call and answers as told.
struct RecordingLink : IVTEditLink {
    Log& log;
    bool prepareAnswer = true, beginAnswer = true, endAnswer = true, cancelAnswer = true;
    explicit RecordingLink(Log& target) : log(target) {}
    bool BeginEdit() override { return log.push_back("Begin"), beginAnswer; }
    bool CancelEdit() override { return log.push_back("Cancel"), cancelAnswer; }
    bool EndEdit() override { return log.push_back("End"), endAnswer; }
    bool PrepareEdit(TBaseVirtualTree&, PVirtualNode, TColumnIndex column) override {
        log.push_back("Prepare " + std::to_string(column));
        return prepareAnswer;
    }
    TTreeRect GetBounds() const override { return {}; }
    void ProcessMessage(std::uint32_t, std::uintptr_t, std::intptr_t) override {}
    void SetBounds(TTreeRect) override { log.push_back("SetBounds"); }
};

struct EditFixture : ::testing::Test {
    RecordingHost host;
    TBaseVirtualTree tree{&host};
    Log log;
    std::shared_ptr<RecordingLink> link = std::make_shared<RecordingLink>(log);
    PVirtualNode a = nullptr, b = nullptr;

    void CreateEditor(TBaseVirtualTree&, PVirtualNode, TColumnIndex, std::shared_ptr<IVTEditLink>& result) {
        log.push_back("Create");
        result = link;
    }
    void Edited(TBaseVirtualTree&, PVirtualNode node, TColumnIndex column) {
        log.push_back(std::string("Edited ") + (node == a ? "a " : "? ") + std::to_string(column));
    }
    void Cancelled(TBaseVirtualTree&, TColumnIndex column) {
        log.push_back("Cancelled " + std::to_string(column));
    }

    EditFixture() {
        host.tree = &tree;
        host.window = true;
        auto& options = tree.TreeOptions();
        options.SetMiscOptions(options.MiscOptions().With(TVTMiscOption::toEditable));
        tree.OnCreateEditor = TVTCreateEditorEvent::Bind<&EditFixture::CreateEditor>(this);
        tree.OnEdited = TBaseVirtualTree::TVTEditChangeEvent::Bind<&EditFixture::Edited>(this);
        tree.OnEditCancelled = TBaseVirtualTree::TVTEditCancelEvent::Bind<&EditFixture::Cancelled>(this);
        a = tree.AddChild(nullptr);
        b = tree.AddChild(nullptr);
    }
};

TEST_F(EditFixture, EditNodeRunsTheProtocolAndEndsThroughTheLink) {
    EXPECT_TRUE(tree.EditNode(a, NoColumn));
    EXPECT_EQ(log, (Log{"Create", "Prepare -1", "SetBounds", "Begin"}));
    EXPECT_TRUE(tree.IsEditing());
    EXPECT_EQ(tree.FocusedNode(), a);
    log.clear();
    EXPECT_TRUE(tree.EndEditNode());
    EXPECT_EQ(log, (Log{"End", "Edited a -1"}));
    EXPECT_FALSE(tree.IsEditing());
    EXPECT_EQ(tree.EditLink(), nullptr);
}

TEST_F(EditFixture, EditNodeRefusals) {
    // A running edit: true, and nothing changes (no second editor, the focus stays).
    ASSERT_TRUE(tree.EditNode(a, NoColumn));
    log.clear();
    EXPECT_TRUE(tree.EditNode(b, NoColumn));
    EXPECT_EQ(log, Log{});
    EXPECT_EQ(tree.FocusedNode(), a);
    ASSERT_TRUE(tree.CancelEditNode());
    EXPECT_EQ(tree.EditLink(), nullptr);

    // A disabled node: focused, but no editor is asked for.
    log.clear();
    b->States |= nsDisabled;
    EXPECT_FALSE(tree.EditNode(b, NoColumn));
    EXPECT_EQ(log, Log{});
    EXPECT_FALSE(tree.IsEditing());

    // A read-only tree, a tree without toEditable, and an owner that says no.
    tree.Options.ReadOnly = true;
    EXPECT_FALSE(tree.EditNode(a, NoColumn));
    tree.Options.ReadOnly = false;
    auto& options = tree.TreeOptions();
    options.SetMiscOptions(options.MiscOptions().Without(TVTMiscOption::toEditable));
    EXPECT_FALSE(tree.EditNode(a, NoColumn));
    options.SetMiscOptions(options.MiscOptions().With(TVTMiscOption::toEditable));
    auto refuse = [](TBaseVirtualTree&, PVirtualNode, TColumnIndex, bool& allowed) { allowed = false; };
    tree.OnEditing = TVTColumnAllowedEvent::Bind(refuse);
    EXPECT_FALSE(tree.EditNode(a, NoColumn));
    EXPECT_EQ(log, Log{});
}

TEST_F(EditFixture, ALinkThatRefusesLeavesNoEditBehind) {
    for (int refusal = 0; refusal < 2; ++refusal) {
        link->prepareAnswer = refusal != 0;
        link->beginAnswer = false;
        EXPECT_FALSE(tree.EditNode(a, NoColumn));
        EXPECT_FALSE(tree.IsEditing());
        EXPECT_EQ(tree.EditLink(), nullptr);
    }
}

TEST_F(EditFixture, EndAndCancelFollowTheLinksAnswer) {
    ASSERT_TRUE(tree.EditNode(a, NoColumn));
    link->endAnswer = false;
    link->cancelAnswer = false;
    log.clear();
    EXPECT_FALSE(tree.EndEditNode());
    EXPECT_FALSE(tree.CancelEditNode());
    EXPECT_TRUE(tree.IsEditing());
    // The focus cannot move away from an edit that refuses to end.
    tree.SetFocusedNode(b);
    EXPECT_EQ(tree.FocusedNode(), a);
    link->cancelAnswer = true;
    log.clear();
    EXPECT_TRUE(tree.CancelEditNode());
    EXPECT_EQ(log, (Log{"Cancel", "Cancelled -1"}));
    EXPECT_FALSE(tree.IsEditing());
}

TEST_F(EditFixture, ChangingTheFocusedColumnCancelsTheEdit) {
    tree.Header().Columns().Add();
    tree.Header().Columns().Add();
    ASSERT_TRUE(tree.EditNode(a, 0));
    log.clear();
    tree.SetFocusedColumn(1);
    EXPECT_EQ(log, (Log{"Cancel", "Cancelled 0"}));
    EXPECT_FALSE(tree.IsEditing());
}

TEST_F(EditFixture, AClickArmsTheTimerAndTheTimerStartsTheEdit) {
    tree.SetFocusedNode(a);
    tree.ArmEdit(NoColumn);
    EXPECT_TRUE(tree.InState(TreeState::tsEditPending));
    EXPECT_EQ(host.runningTimers[EditTimer], DefaultEditDelay);
    tree.StartEditing();
    EXPECT_TRUE(tree.IsEditing());
    EXPECT_EQ(host.runningTimers.count(EditTimer), 0u);
    EXPECT_FALSE(tree.InState(TreeState::tsEditPending));
}

TEST(EditorBounds, NarrowCellsWidenAndTheClientClips) {
    struct Case {
        TTreeRect cell;
        TAlignment alignment;
        TTreeRect expected;
    };
    const TAlignment left = TAlignment::taLeftJustify, right = TAlignment::taRightJustify;
    const Case cases[] = {
        {{50, 0, 60, 18}, left, {50, 0, 80, 18}}, // 10 px grows right to 30
        {{50, 0, 60, 18}, TAlignment::taCenter, {50, 0, 80, 18}},
        {{50, 0, 60, 18}, right, {30, 0, 60, 18}},    // right-justified grows left
        {{-5, 0, 100, 18}, left, {0, 0, 100, 18}},    // never left of the client
        {{10, 0, 20, 18}, right, {0, 0, 30, 18}},     // no room on the left: it grows right
        {{190, 0, 195, 18}, left, {190, 0, 200, 18}}, // clipped to the client width (200)
        {{100, 0, 300, 18}, left, {100, 0, 200, 18}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EditorBounds(c.cell, c.alignment, 200), c.expected) << c.cell.Left << " " << c.cell.Right;
}

TEST(EditKeys, Table) {
    struct Case {
        unsigned key;
        bool ctrl, multiline;
        TEditKeyResult expected;
    };
    using A = TEditKeyAction;
    const Case cases[] = {
        {EditVkReturn, false, false, {A::EndEdit, EditVkReturn}},
        {EditVkReturn, false, true, {A::PassOn, EditVkReturn}}, // a new line
        {EditVkReturn, true, true, {A::EndEdit, EditVkReturn}},
        {EditVkEscape, false, false, {A::CancelEdit, EditVkEscape}},
        {EditVkEscape, false, true, {A::CancelEdit, EditVkEscape}},
        {EditVkUp, false, false, {A::PassOn, EditVkLeft}},
        {EditVkDown, false, false, {A::PassOn, EditVkRight}},
        {EditVkUp, false, true, {A::PassOn, EditVkUp}},
        {EditVkDown, false, true, {A::PassOn, EditVkDown}},
        {EditVkTab, false, false, {A::PassOn, EditVkTab}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EditKeyDown(c.key, c.ctrl, c.multiline), c.expected)
            << c.key << " " << c.ctrl << c.multiline;
    EXPECT_TRUE(EditCharSwallowed(L'\t'));
    EXPECT_TRUE(EditCharSwallowed(L'\x1B'));
    EXPECT_FALSE(EditCharSwallowed(L'a'));
    EXPECT_FALSE(EditCharSwallowed(L'\r'));
}

// An edit control that keeps its text in memory; "typing" changes it and marks it modified.
struct FakeEditControl : IStringEditControl {
    Log& log;
    std::wstring text;
    bool modified = false;
    bool visible = false;
    TTreeRect bounds;
    std::shared_ptr<TStringEditLink> link;
    explicit FakeEditControl(Log& target) : log(target) {}

    void Prepare(TCustomVirtualStringTree&, const TTextFont&, const std::wstring& cellText, bool, TAlignment,
                 bool) override {
        text = cellText;
    }
    void Show() override { visible = true; }
    void Hide() override { visible = false; }
    std::wstring Text() const override { return text; }
    bool Modified() const override { return modified; }
    TTreeRect Bounds() const override { return bounds; }
    void SetBounds(const TTreeRect& value, int) override { bounds = value; }
    void ProcessMessage(std::uint32_t, std::uintptr_t, std::intptr_t) override {}
    void SetLink(std::shared_ptr<TStringEditLink> value) override { link = std::move(value); }
    void FocusTree() override { log.push_back("FocusTree"); }
    int releases = 0;
    void Release() override { ++releases; }
    void Type(const std::wstring& value) {
        text = value;
        modified = true;
    }
};

struct StringEditFixture : ::testing::Test {
    Log log;
    FakeEditControl control{log};
    RecordingHost host;
    TVirtualStringTree tree{&host};
    PVirtualNode node = nullptr;
    std::wstring throwOn;

    void NewText(TCustomVirtualStringTree&, PVirtualNode, TColumnIndex, const std::wstring& text) {
        if (text == throwOn)
            throw std::runtime_error("refused");
        log.push_back("NewText " + std::string(text.begin(), text.end()));
    }
    IStringEditControl* MakeControl() { return &control; }

    StringEditFixture() {
        host.tree = &tree;
        host.window = true;
        auto& options = tree.TreeOptions();
        options.SetMiscOptions(options.MiscOptions().With(TVTMiscOption::toEditable));
        tree.OnNewText = TVSTNewTextEvent::Bind<&StringEditFixture::NewText>(this);
        tree.EditControlFactory = [this] { return MakeControl(); };
        node = tree.AddChild(nullptr);
    }
    ~StringEditFixture() override { control.link.reset(); }
    TStringEditLink& Link() { return *control.link; }
};

TEST_F(StringEditFixture, AnUnmodifiedTextNeverReachesTheOwner) {
    // Ending by Enter, by losing the focus (accepting), and by the tree's EndEditNode.
    for (int way = 0; way < 3; ++way) {
        ASSERT_TRUE(tree.EditNode(node, NoColumn));
        EXPECT_EQ(control.text, L"Node");
        EXPECT_TRUE(control.visible);
        if (way == 0)
            Link().KeyDown(EditVkReturn, false);
        else if (way == 1)
            Link().FocusLost();
        else
            tree.EndEditNode();
        EXPECT_FALSE(tree.IsEditing()) << way;
    }
    EXPECT_EQ(std::count(log.begin(), log.end(), "NewText Node"), 0);
}

TEST_F(StringEditFixture, FocusLossAcceptsOnlyWithAutoAccept) {
    ASSERT_TRUE(tree.EditNode(node, NoColumn));
    control.Type(L"renamed");
    Link().FocusLost();
    EXPECT_EQ(log, (Log{"NewText renamed"}));
    EXPECT_FALSE(tree.IsEditing());

    log.clear();
    tree.SetStringOptions(tree.StringOptions() & ~toAutoAcceptEditChange);
    control.modified = false;
    ASSERT_TRUE(tree.EditNode(node, NoColumn));
    control.Type(L"dropped");
    Link().FocusLost();
    EXPECT_EQ(log, Log{});
    EXPECT_FALSE(tree.IsEditing());
    EXPECT_FALSE(control.visible);
}

TEST_F(StringEditFixture, KeysEndOrCancelAndGiveTheFocusBack) {
    ASSERT_TRUE(tree.EditNode(node, NoColumn));
    control.Type(L"kept");
    EXPECT_EQ(Link().KeyDown(EditVkUp, false).Key, EditVkLeft);
    EXPECT_TRUE(tree.IsEditing());
    std::shared_ptr<TStringEditLink> held = control.link;
    EXPECT_EQ(held->KeyDown(EditVkReturn, false).Action, TEditKeyAction::EndEdit);
    EXPECT_EQ(log, (Log{"NewText kept", "FocusTree"}));
    EXPECT_EQ(control.link, nullptr); // the finished link is let go by its control
    held.reset();

    log.clear();
    control.modified = false;
    ASSERT_TRUE(tree.EditNode(node, NoColumn));
    control.Type(L"discarded");
    Link().KeyDown(EditVkEscape, false);
    EXPECT_EQ(log, (Log{"FocusTree"}));
    EXPECT_FALSE(tree.IsEditing());
}

TEST_F(StringEditFixture, AnOwnerThatThrowsLeavesTheEditAbleToEndOrCancelAgain) {
    ASSERT_TRUE(tree.EditNode(node, NoColumn));
    control.Type(L"bad");
    throwOn = L"bad";
    EXPECT_THROW(tree.EndEditNode(), std::runtime_error);
    EXPECT_TRUE(tree.IsEditing());
    EXPECT_FALSE(Link().Stopping());
    // Again, then with a text the owner takes.
    EXPECT_THROW(tree.EndEditNode(), std::runtime_error);
    control.Type(L"good");
    EXPECT_TRUE(tree.EndEditNode());
    EXPECT_EQ(log, (Log{"NewText good"}));

    // Cancelling after a refused end works as well.
    log.clear();
    ASSERT_TRUE(tree.EditNode(node, NoColumn));
    control.Type(L"bad");
    EXPECT_THROW(tree.EndEditNode(), std::runtime_error);
    EXPECT_TRUE(tree.CancelEditNode());
    EXPECT_FALSE(tree.IsEditing());
    EXPECT_EQ(log, Log{});
}

TEST_F(StringEditFixture, TheEditorCoversANarrowCellWithinTheClient) {
    tree.Header().Columns().Add().SetWidth(10);
    tree.Header().Columns().Add().SetWidth(300);
    host.clientWidth = 100;
    ASSERT_TRUE(tree.EditNode(node, 0));
    EXPECT_GE(control.bounds.Right - control.bounds.Left, MinimumEditorWidth);
    Link().SetBounds({80, 0, 300, 18});
    EXPECT_EQ(control.bounds, (TTreeRect{80, 0, 100, 18}));
    tree.CancelEditNode();
}

TEST_F(StringEditFixture, AControlDestroyedWhileEditingKeepsAChangedTextUnlessTheTreeGoes) {
    ASSERT_TRUE(tree.EditNode(node, NoColumn));
    control.Type(L"saved");
    Link().ControlDestroyed();
    EXPECT_EQ(log, (Log{"NewText saved"}));
    EXPECT_EQ(control.link, nullptr);
}

TEST(StringEditTreeGoing, NoTextIsHandedToATreeBeingDestroyed) {
    Log log;
    FakeEditControl control{log};
    std::shared_ptr<TStringEditLink> link;
    // The control's window goes as part of the tree's destruction.
    struct DestroyOnFree {
        std::shared_ptr<TStringEditLink>& link;
        void Free(TBaseVirtualTree&, PVirtualNode) {
            if (link)
                link->ControlDestroyed();
        }
    } destroyer{link};
    auto newText = [&](TCustomVirtualStringTree&, PVirtualNode, TColumnIndex, const std::wstring&) {
        log.push_back("NewText");
    };
    {
        RecordingHost host;
        TVirtualStringTree tree{&host};
        host.tree = &tree;
        host.window = true;
        auto& options = tree.TreeOptions();
        options.SetMiscOptions(options.MiscOptions().With(TVTMiscOption::toEditable));
        tree.OnNewText = TVSTNewTextEvent::Bind(newText);
        tree.EditControlFactory = [&control]() -> IStringEditControl* { return &control; };
        ASSERT_TRUE(tree.EditNode(tree.AddChild(nullptr), NoColumn));
        control.Type(L"late");
        link = control.link;
        tree.OnFreeNode = TVTNodeEvent::Bind<&DestroyOnFree::Free>(&destroyer);
    }
    EXPECT_EQ(log, Log{});
    control.link.reset();
    link.reset();
    EXPECT_EQ(control.releases, 1);
}

} // namespace
} // namespace tarvola::test
