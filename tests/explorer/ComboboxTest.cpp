// The explorer combo box under Wine: typed paths (a file opens through the shell seam), the drop-downs'
// own message loops and how they end, the pick tree opened by Alt+Down, the auto-complete list over a
// fixture folder, the scroll bar of a tall list, and the change links both ways (with a stand-in and with
// the program's dispatcher and an explorer list).
#include "explorer/VirtualExplorerCombobox.h"
#include "explorer/VirtualExplorerListview.h"
#include "explorer/VirtualExplorerTreeShell.h"
#include "forms/Form.h"
#include "shell/VirtualShellOperations.h"
#include "tests/shell/ShellLayerFixture.h"
#include "tests/support/FileTimes.h"
#include "tests/support/MessagePump.h"
#include "tests/support/QueuedSteps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace tarvola::test {
namespace {

void PostKeyDown(HWND window, WPARAM key) {
    PostMessageW(window, WM_KEYDOWN, key, 1);
}

class TRecordingPlatform final : public TShellOperationsPlatform {
public:
    std::vector<TItemIDList> executed;
    BOOL ShellExecute(SHELLEXECUTEINFOW& info) override {
        executed.push_back(TItemIDList::FromPIDL(static_cast<PCItemIDList>(info.lpIDList)));
        return TRUE;
    }
};

class TRecordingMessages final : public TWideMessageSeam {
public:
    TRecordingMessages() : previous_(SetWideMessages(this)) {}
    ~TRecordingMessages() override { SetWideMessages(previous_); }
    int Show(const TWideMessage& message) override {
        shown.push_back(message);
        return IDOK;
    }
    std::vector<TWideMessage> shown;

private:
    TWideMessageSeam* previous_;
};

// Change links as the dispatcher keeps them: what the box told, and a view that follows it.
class TRecordingLinks final : public IComboChangeLinks {
public:
    std::vector<TItemIDList> dispatched;
    int unregistered = 0;
    void DispatchChange(void*, const TItemIDList& pidl) override { dispatched.push_back(pidl); }
    void UnRegisterChangeLink(void*, void*, int mode) override {
        EXPECT_EQ(mode, 3);
        ++unregistered;
    }
};

class ComboboxTest : public ShellLayerTest {
protected:
    ComboboxTest() : form(nullptr), box(form.Create<TVirtualExplorerCombobox>()) {
        MakeTree();
        form.SetClientSize(420, 300);
        box.SetBounds(10, 10, 360, 23);
        box.SetParent(&form);
        box.SetActive(true);
        box.OnInvalidPath = [this](TCustomVirtualExplorerCombobox&, const WideString& path) {
            invalid.push_back(path);
        };
        box.OnPathChange = [this](TCustomVirtualExplorerCombobox&, TNamespace*) { ++pathChanges; };
        previousPlatform = SetShellOperationsPlatform(&platform);
        form.Show();
        PumpPending();
    }
    ~ComboboxTest() override {
        SetShellOperationsPlatform(previousPlatform);
        ReleaseCapture();
    }

    void Accept(const WideString& text) {
        box.Edit().SetWideText(text, false);
        box.Edit().AcceptEditText();
    }
    WideString Current() const {
        return box.Namespace() ? box.Namespace()->NameParseAddress() : WideString();
    }
    std::pair<DWORD, DWORD> Selection() {
        DWORD start = 0, end = 0;
        SendMessageW(box.Edit().Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        return {start, end};
    }
    // The folder of the fixture as the shell names it (Wine may spell the temporary folder its own way).
    WideString FolderPath() { return Item("")->NameParseAddress(); }
    WideString ParsePath(const std::string& name) { return Item(name)->NameParseAddress(); }

    TForm form;
    TVirtualExplorerCombobox& box;
    std::vector<WideString> invalid;
    int pathChanges = 0;
    TRecordingPlatform platform;
    TShellOperationsPlatform* previousPlatform = nullptr;
    TQueuedSteps steps;
};

TEST_F(ComboboxTest, TypedPathsBecomeTheItemOrOpenOrReport) {
    Accept(Path("sub"));
    EXPECT_EQ(Current(), Path("sub")) << "a folder becomes the current item";
    EXPECT_EQ(box.Edit().WideText(), Item("sub")->NameNormal()) << "the edit shows its display name";

    Accept(Path("a.txt"));
    EXPECT_EQ(box.Namespace(), nullptr) << "a file is opened, not made current";
    ASSERT_EQ(platform.executed.size(), 1u);
    EXPECT_EQ(platform.executed[0], TItemIDList::FromPIDL(Item("a.txt")->AbsolutePIDL()));
    EXPECT_EQ(box.Edit().WideText(), Path("a.txt")) << "the typed text stays";
    EXPECT_FALSE(box.Edit().Modified());
    EXPECT_EQ(box.IconIndex(), DefaultSystemImageIndex(TDefaultSystemImage::MyDocuments));

    const WideString missing = Path("sub") + u"\\nope\\deeper";
    Accept(missing);
    ASSERT_EQ(invalid.size(), 1u);
    EXPECT_EQ(invalid[0], missing);
    const DWORD firstMissing = static_cast<DWORD>(Path("sub").size() + 1);
    EXPECT_EQ(Selection(), std::make_pair(firstMissing, static_cast<DWORD>(missing.size())))
        << "the selection starts at the first folder that is not there";

    const int before = pathChanges;
    Accept(u"");
    EXPECT_EQ(pathChanges, before) << "empty text changes nothing";
    box.SetStyle(1);
    Accept(Path("sub"));
    EXPECT_EQ(pathChanges, before) << "a select-only box takes no typed path";
}

TEST_F(ComboboxTest, ADriveLetterIsTheDriveAndWithoutAHandlerTheMessageBoxReports) {
    Accept(u"c");
    EXPECT_EQ(Current(), u"C:\\");
    Accept(u"C:");
    EXPECT_EQ(Current(), u"C:\\");

    box.OnInvalidPath = nullptr;
    TRecordingMessages messages;
    Accept(u"Q:\\surely\\not\\here");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, u"Invalid Path");
    EXPECT_EQ(messages.shown[0].text,
              u"Windows can not find \"Q:\\surely\\not\\here\" Please check the spelling and try again.");
    EXPECT_EQ(Current(), u"C:\\") << "the current item stays";
}

// The pick tree's loop ends on each of these; only Enter picks.
TEST_F(ComboboxTest, TheDropDownLoopEndsOnEnterEscapeOutsideClickCancelModeAndQuit) {
    TPopupExplorerDropDown& dropDown = box.ExplorerDropDown();
    std::vector<bool> rolledUp;
    dropDown.OnRollUp = [&](TDropDownWnd&, bool selected) { rolledUp.push_back(selected); };
    Accept(Path("sub"));
    auto& clickTarget = form.Create<TCustomControl>();
    clickTarget.SetBounds(10, 200, 100, 20);
    clickTarget.SetParent(&form);
    int targetClicks = 0;
    clickTarget.OnMouseDown = [&](TObject&, TMouseButton, TShiftState, int, int) { ++targetClicks; };

    struct Case {
        const char* what;
        std::function<void()> post;
        bool selected;
    };
    const Case cases[] = {
        {"Enter", [&] { PostKeyDown(box.Edit().Handle(), VK_RETURN); }, true},
        {"Escape", [&] { PostKeyDown(box.Edit().Handle(), VK_ESCAPE); }, false},
        {"outside click",
         [&] { PostMessageW(clickTarget.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5)); }, false},
        {"cancel mode", [&] { PostMessageW(box.Edit().Handle(), WM_CANCELMODE, 0, 0); }, false},
    };
    for (const Case& c : cases) {
        rolledUp.clear();
        bool wasDown = false;
        steps.Post([&] { wasDown = dropDown.RolledDown() && IsWindowVisible(dropDown.Handle()); });
        c.post();
        box.ShowExplorerDropDown();
        EXPECT_TRUE(wasDown) << c.what;
        EXPECT_FALSE(dropDown.RolledDown()) << c.what;
        EXPECT_FALSE(IsWindowVisible(dropDown.Handle())) << c.what;
        EXPECT_EQ(rolledUp, std::vector<bool>{c.selected}) << c.what;
        EXPECT_EQ(Current(), Path("sub")) << c.what << ": the item picked is the one it opened on";
        EXPECT_EQ(GetFocus(), box.Edit().Handle()) << c.what << ": the focus is back in the edit";
    }
    PumpPending();
    EXPECT_EQ(targetClicks, 0) << "the click that closed the drop-down is swallowed";

    rolledUp.clear();
    PostQuitMessage(7);
    box.ShowExplorerDropDown();
    EXPECT_EQ(rolledUp, std::vector<bool>{false});
    MSG quit{};
    ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the quit is passed on";
    EXPECT_EQ(quit.wParam, 7u);
}

TEST_F(ComboboxTest, AltDownOpensThePickTreeOnTheDesktopAndEnterPicksTheRow) {
    TPopupExplorerDropDown& dropDown = box.ExplorerDropDown();
    Accept(Path("sub"));
    box.Edit().SetFocus();
    std::optional<TItemIDList> shownOn;
    TItemIDList picked;
    steps.Post([&] {
        shownOn = PopupExplorerSelection(dropDown.Tree());
        // Down once: the row after the desktop.
        PostKeyDown(box.Edit().Handle(), VK_DOWN);
        steps.Post([&] {
            picked = PopupExplorerSelection(dropDown.Tree()).value_or(TItemIDList());
            PostKeyDown(box.Edit().Handle(), VK_RETURN);
        });
    });
    SendMessageW(box.Edit().Handle(), WM_SYSKEYDOWN, VK_DOWN, 0x20000001);
    ASSERT_TRUE(shownOn.has_value());
    EXPECT_TRUE(shownOn->IsDesktop()) << "Alt+Down gives the drop-down no item: it opens on the desktop";
    EXPECT_FALSE(picked.IsDesktop());
    ASSERT_NE(box.Namespace(), nullptr);
    EXPECT_EQ(TItemIDList::FromPIDL(box.Namespace()->AbsolutePIDL()), picked)
        << "Enter makes the row current";
}

// The box's item was taken before its folder changed: the pick tree still lists the way to it and opens on
// it, in both looks.
TEST_F(ComboboxTest, ThePickTreeOpensOnTheBoxItemAfterItsFolderChanged) {
    TPopupExplorerDropDown& dropDown = box.ExplorerDropDown();
    TShellExplorerNamespace shell;
    for (const TPopupComboBoxStyle style :
         {TPopupComboBoxStyle::cbsClassic, TPopupComboBoxStyle::cbsVETEnhanced}) {
        dropDown.SetComboBoxStyle(style);
        Accept(Path("sub"));
        ASSERT_TRUE(MoveWriteTimeBack(folder.Path() / "sub"));
        ASSERT_TRUE(MoveWriteTimeBack(folder.Path()));
        std::optional<TItemIDList> shownOn;
        steps.Post([&] {
            shownOn = PopupExplorerSelection(dropDown.Tree());
            PostKeyDown(box.Edit().Handle(), VK_ESCAPE);
        });
        box.ShowExplorerDropDown();
        ASSERT_TRUE(shownOn.has_value()) << static_cast<int>(style);
        EXPECT_TRUE(shell.SameItem(*shownOn, TItemIDList::FromPIDL(Item("sub")->AbsolutePIDL())))
            << static_cast<int>(style);
        EXPECT_EQ(Current(), Path("sub")) << static_cast<int>(style);
    }
}

TEST_F(ComboboxTest, TypingFiltersTheAutoCompleteListAndDownTakesARow) {
    for (const char* name : {"alpha1.ker", "alpha2.ker", "Alpine.txt"})
        folder.Write(name, "x");
    TPopupAutoCompleteDropDown& list = box.AutoCompleteDropDown();
    const WideString prefix = FolderPath() + u"\\";
    box.Edit().SetWideText(prefix, false);
    box.Edit().SetFocus();
    const int prefixEnd = static_cast<int>(prefix.size());
    PostMessageW(box.Edit().Handle(), EM_SETSEL, static_cast<WPARAM>(prefixEnd), prefixEnd);

    std::vector<WideString> afterA, afterAlp;
    WideString afterDown;
    std::pair<DWORD, DWORD> caretAfterDown;
    int listings = 0;
    auto rows = [&] {
        std::vector<WideString> texts;
        for (PVirtualNode node = list.Tree().GetFirst(); node; node = list.Tree().GetNext(node))
            texts.push_back(list.NodeText(node));
        return texts;
    };
    PostTyped(box.Edit().Handle(), "a");
    steps.Post([&] { afterA = rows(); });
    PostTyped(box.Edit().Handle(), "lp");
    steps.Post([&] {
        afterAlp = rows();
        listings = list.Filter().Listings();
    });
    PostKeyDown(box.Edit().Handle(), VK_DOWN);
    steps.Post([&] {
        afterDown = box.Edit().WideText();
        caretAfterDown = Selection();
        PostKeyDown(box.Edit().Handle(), VK_ESCAPE);
    });
    ASSERT_TRUE(PumpUntil([&] { return steps.Done() && !list.RolledDown(); }, 10s));

    auto sorted = [](std::vector<WideString> texts) {
        std::sort(texts.begin(), texts.end());
        return texts;
    };
    EXPECT_EQ(sorted(afterA), sorted({ParsePath("a.txt"), ParsePath("alpha1.ker"), ParsePath("alpha2.ker"),
                                      ParsePath("Alpine.txt")}))
        << "prefix matches ignore case";
    EXPECT_EQ(sorted(afterAlp),
              sorted({ParsePath("alpha1.ker"), ParsePath("alpha2.ker"), ParsePath("Alpine.txt")}));
    EXPECT_EQ(listings, 1) << "the folder is listed once while typing within it";
    ASSERT_FALSE(afterAlp.empty());
    EXPECT_EQ(afterDown, afterAlp[0]) << "Down puts the first row's text into the edit";
    const auto end = static_cast<DWORD>(afterDown.size());
    EXPECT_EQ(caretAfterDown, std::make_pair(end, end)) << "with the caret at its end";
}

TEST_F(ComboboxTest, ABackslashListsTheWholeFolderAndATallListScrollsPastSixteenBits) {
    TPopupAutoCompleteDropDown& list = box.AutoCompleteDropDown();
    const WideString prefix = FolderPath() + u"\\";
    list.UpdateList(prefix);
    std::vector<WideString> inFolder;
    for (PVirtualNode node = list.Tree().GetFirst(); node; node = list.Tree().GetNext(node))
        if (list.NodeText(node).starts_with(prefix))
            inFolder.push_back(list.NodeText(node));
    // The hidden file is left out; folders and files both show, each once.
    EXPECT_EQ(inFolder.size(), 6u);

    // 5,000 rows of 17 pixels: positions far above 65,535.
    list.OnAutoCompleteUpdateList = [](TDropDownWnd&, const WideString&, std::vector<WideString>& entries,
                                       bool& handled) {
        for (int i = 0; i < 5000; ++i)
            entries.push_back(u"row " + Utf8ToWide(std::to_string(i)));
        handled = true;
    };
    PostKeyDown(box.Edit().Handle(), VK_ESCAPE);
    box.ShowAutoComplete(true); // makes the window; Escape rolls it up again
    list.SetBounds(list.Left(), list.Top(), 300, 150);
    list.UpdateList(u"anything");
    ASSERT_EQ(list.Tree().RootNodeCount(), 5000u);
    TOwnerDrawScrollbar& bar = list.Scrollbar();
    EXPECT_TRUE(bar.Visible());
    EXPECT_EQ(bar.Max(), 5000 * 17);
    bar.SetPosition(80000);
    SendMessageW(list.Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 80000 & 0xFFFF),
                 reinterpret_cast<LPARAM>(bar.Handle()));
    EXPECT_EQ(list.Tree().OffsetY(), -80000) << "the thumb position comes from the bar, not the 16-bit word";
}

TEST_F(ComboboxTest, ChangeLinksCarryTheItemBothWays) {
    TRecordingLinks links;
    box.SetChangeLinks(&links);
    const TItemIDList sub = TItemIDList::FromPIDL(Item("sub")->AbsolutePIDL());
    const TItemIDList empty = TItemIDList::FromPIDL(Item("empty")->AbsolutePIDL());

    // A view tells the box.
    box.ChangeLinkChangeEvent(&links, &sub);
    EXPECT_EQ(Current(), Path("sub"));
    EXPECT_EQ(box.Edit().WideText(), Item("sub")->NameNormal());
    const int changes = pathChanges;
    box.ChangeLinkChangeEvent(&links, &sub);
    EXPECT_EQ(pathChanges, changes) << "the same item again changes nothing";

    // The box tells the views.
    links.dispatched.clear();
    auto item = Item("empty");
    box.SetNamespace(item.get());
    ASSERT_EQ(links.dispatched.size(), 1u);
    EXPECT_EQ(links.dispatched[0], empty);

    box.ChangeLinkChangeEvent(&links, nullptr);
    EXPECT_EQ(box.Namespace(), nullptr) << "no item from the view clears the box";

    box.SetLinkedView(&links);
    box.ChangeLinkFreeEvent(&box, &links);
    EXPECT_EQ(box.LinkedView(), nullptr);
    box.SetChangeLinks(nullptr);
}

TEST_F(ComboboxTest, AnExplorerListAndTheBoxFollowEachOtherThroughTheDispatcher) {
    TShellExplorerNamespace shell;
    auto list = std::make_unique<TVirtualExplorerListview>(shell);
    list->SetRootFolderCustomPath(FolderPath());
    list->SetActive(true);
    void* boxId = static_cast<TCustomVirtualExplorerCombobox*>(&box);
    // unique_ptr::reset empties the pointer before the list's destructor releases the links.
    TVirtualExplorerListview* view = list.get();
    TVETChangeDispatch& dispatch = VETChangeDispatch();
    const std::size_t links = dispatch.Count();
    // Linked both ways, as a host links a view and its address box.
    dispatch.RegisterChangeLink(
        boxId, list->ChangeLinkId(),
        [view](const void* server, const TItemIDList& pidl) { view->ChangeLinkChangeProc(server, pidl); },
        [view](IVETChangeLink& link) { view->ChangeLinkFreeProc(link); });
    dispatch.RegisterChangeLink(
        list->ChangeLinkId(), boxId,
        [&](const void* server, const TItemIDList& pidl) {
            box.ChangeLinkChangeEvent(const_cast<void*>(server), &pidl);
        },
        [&](IVETChangeLink& link) {
            box.ChangeLinkFreeEvent(const_cast<void*>(link.Server()), const_cast<void*>(link.Client()));
        });

    // The list tells the box.
    ASSERT_TRUE(list->BrowseToPIDL(TItemIDList::FromPIDL(Item("sub")->AbsolutePIDL()), false, true, false,
                                   false, false));
    EXPECT_EQ(Current(), Path("sub"));
    EXPECT_EQ(box.Edit().WideText(), Item("sub")->NameNormal());

    // The box tells the list, and the list's report of its new folder does not come back to the box.
    const int changes = pathChanges;
    auto empty = Item("empty");
    box.SetNamespace(empty.get());
    EXPECT_TRUE(
        shell.SameItem(list->RootItem()->AbsolutePIDL(), TItemIDList::FromPIDL(empty->AbsolutePIDL())));
    EXPECT_EQ(pathChanges, changes + 1);
    EXPECT_EQ(Current(), Path("empty"));

    // The list going away takes both links with it.
    list.reset();
    EXPECT_EQ(dispatch.Count(), links);
    box.SetNamespace(Item("sub").get());
    EXPECT_EQ(Current(), Path("sub"));
}

TEST_F(ComboboxTest, TheButtonOpensThePickTreeAndClosesIt) {
    TPopupExplorerDropDown& dropDown = box.ExplorerDropDown();
    Accept(Path("sub"));
    const TRect button = box.GetPartRect(TComboPart::cpButton);
    const LPARAM at = MAKELPARAM(button.Left + 3, button.Top + 3);
    bool wasDown = false;
    steps.Post([&] {
        wasDown = dropDown.RolledDown();
        // A second click on the button while it is down closes it: the box takes that click.
        POINT screen{button.Left + 3, button.Top + 3};
        ClientToScreen(box.Handle(), &screen);
        SetCursorPos(screen.x, screen.y);
        PostMessageW(box.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    });
    SendMessageW(box.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    EXPECT_TRUE(wasDown);
    EXPECT_FALSE(dropDown.RolledDown());
    EXPECT_EQ(Current(), Path("sub"));
}

// Not a check: holds a box with its pick tree open and scroll bars of each look on the screen, for a
// screenshot taken from outside (TARVOLA_SHOWCASE_SECONDS).
TEST_F(ComboboxTest, Showcase) {
    const char* seconds = std::getenv("TARVOLA_SHOWCASE_SECONDS");
    if (seconds == nullptr)
        GTEST_SKIP() << "only for screenshots";
    form.SetBounds(0, 0, 520, 420);
    form.SetCaption("Combo box");
    const char* looks[] = {"themed", "classic", "flat"};
    for (int i = 0; i < 3; ++i) {
        auto& bar = form.Create<TOwnerDrawScrollbar>();
        bar.SetBounds(400 + i * 30, 60, 0, 250);
        bar.SetParent(&form);
        bar.SetPageSize(20);
        bar.SetPosition(30 * (i + 1));
        bar.SetOptions(i == 0 ? TScrollOptions{soThemeAware} : TScrollOptions{0});
        bar.SetFlat(i == 2);
        (void)looks[i];
    }
    Accept(Path("sub"));
    form.Show();
    SetForegroundWindow(form.Handle());
    PumpFor(300ms);
    const auto hold = std::chrono::milliseconds(static_cast<int>(std::atof(seconds) * 1000));
    steps.Post([&] {
        PumpFor(hold);
        PostKeyDown(box.Edit().Handle(), VK_ESCAPE);
    });
    box.ShowExplorerDropDown();
    // Then the auto-complete list over the fixture folder.
    const WideString prefix = FolderPath();
    box.Edit().SetWideText(prefix, false);
    box.Edit().SetFocus();
    PostMessageW(box.Edit().Handle(), EM_SETSEL, prefix.size(), static_cast<LPARAM>(prefix.size()));
    PostTyped(box.Edit().Handle(), "\\");
    steps.Post([&] {
        PostKeyDown(box.Edit().Handle(), VK_DOWN);
        steps.Post([&] {
            PumpFor(hold);
            PostKeyDown(box.Edit().Handle(), VK_ESCAPE);
        });
    });
    PumpUntil([&] { return steps.Done() && !box.AutoCompleteDropDown().RolledDown(); }, hold * 3);
}

} // namespace
} // namespace tarvola::test
