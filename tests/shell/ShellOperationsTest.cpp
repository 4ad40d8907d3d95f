// Operations on shell items: the verbs, property sheets and context menus over a scripted folder and a
// scripted shell menu (so that nothing modal shows), and rename, links, execute and the clipboard verb
// against the real shell on a temporary folder.
#include "shell/VirtualShellLink.h"
#include "shell/VirtualShellOperations.h"
#include "tests/shell/ShellLayerFixture.h"

#include <cstring>
#include <map>
#include <vector>

namespace tarvola::test {
namespace {

// A shell menu as a file's menu looks: Open, a separator, "Send To" (a submenu whose command sits at offset
// 0x20, with no verb), Copy, Delete, Cut, Properties.
class TScriptedContextMenu final : public IContextMenu3 {
public:
    std::map<UINT, const wchar_t*> verbs = {
        {0, L"open"}, {2, L"copy"}, {3, L"delete"}, {4, L"cut"}, {5, L"properties"}};
    UINT queriedFlags = 0;
    std::vector<UINT> verbOffsetsAsked;
    std::vector<UINT> invokedOffsets;
    CMINVOKECOMMANDINFOEX lastInvoke{};
    std::vector<UINT> menuMessages;
    ULONG references = 1;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IContextMenu) ||
            IsEqualIID(iid, IID_IContextMenu2) || IsEqualIID(iid, IID_IContextMenu3)) {
            *object = static_cast<IContextMenu3*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; } // lives on the test's stack

    HRESULT STDMETHODCALLTYPE QueryContextMenu(HMENU menu, UINT index, UINT first, UINT,
                                               UINT flags) override {
        queriedFlags = flags;
        AppendMenuW(menu, MF_STRING, first + 0, L"Open");
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        HMENU sendTo = CreatePopupMenu();
        AppendMenuW(sendTo, MF_STRING, first + 0x20, L"Mail recipient");
        AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sendTo), L"Send To");
        AppendMenuW(menu, MF_STRING, first + 2, L"Copy");
        AppendMenuW(menu, MF_STRING, first + 3, L"Delete");
        AppendMenuW(menu, MF_STRING, first + 4, L"Cut");
        AppendMenuW(menu, MF_STRING, first + 5, L"Properties");
        (void)index;
        return MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0x21);
    }
    HRESULT STDMETHODCALLTYPE InvokeCommand(CMINVOKECOMMANDINFO* info) override {
        std::memcpy(&lastInvoke, info, std::min<std::size_t>(info->cbSize, sizeof(lastInvoke)));
        invokedOffsets.push_back(LOWORD(reinterpret_cast<UINT_PTR>(info->lpVerb)));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetCommandString(UINT_PTR offset, UINT type, UINT*, LPSTR name,
                                               UINT length) override {
        verbOffsetsAsked.push_back(static_cast<UINT>(offset));
        const auto verb = verbs.find(static_cast<UINT>(offset));
        if (type != GCS_VERBW || verb == verbs.end())
            return E_INVALIDARG;
        lstrcpynW(reinterpret_cast<LPWSTR>(name), verb->second, static_cast<int>(length));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE HandleMenuMsg(UINT message, WPARAM, LPARAM) override {
        menuMessages.push_back(message);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE HandleMenuMsg2(UINT message, WPARAM, LPARAM, LRESULT* result) override {
        menuMessages.push_back(message);
        if (result != nullptr)
            *result = 7;
        return S_OK;
    }
};

// A folder that hands out the scripted menu and answers attributes from a script.
class TMenuFolder final : public IShellFolder {
public:
    explicit TMenuFolder(TScriptedContextMenu& menu) : menu_(menu) {}
    SFGAOF attributes = SFGAO_CANCOPY;
    ULONG references = 1;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IShellFolder)) {
            *object = static_cast<IShellFolder*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }

    HRESULT STDMETHODCALLTYPE ParseDisplayName(HWND, IBindCtx*, LPWSTR, ULONG*, PIDLIST_RELATIVE*,
                                               ULONG*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE EnumObjects(HWND, SHCONTF, IEnumIDList** list) override {
        *list = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE BindToObject(PCUIDLIST_RELATIVE, IBindCtx*, REFIID, void** object) override {
        *object = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE BindToStorage(PCUIDLIST_RELATIVE, IBindCtx*, REFIID, void** object) override {
        *object = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CompareIDs(LPARAM, PCUIDLIST_RELATIVE, PCUIDLIST_RELATIVE) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE CreateViewObject(HWND, REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE GetAttributesOf(UINT, PCUITEMID_CHILD_ARRAY, SFGAOF* asked) override {
        *asked &= attributes;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetUIObjectOf(HWND, UINT count, PCUITEMID_CHILD_ARRAY, REFIID iid, UINT*,
                                            void** object) override {
        uiObjectCounts.push_back(count);
        if (IsEqualIID(iid, IID_IContextMenu))
            return menu_.QueryInterface(iid, object);
        *object = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE GetDisplayNameOf(PCUITEMID_CHILD, SHGDNF, STRRET*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetNameOf(HWND, PCUITEMID_CHILD, LPCWSTR, SHGDNF, PITEMID_CHILD*) override {
        return E_NOTIMPL;
    }

    std::vector<UINT> uiObjectCounts;

private:
    TScriptedContextMenu& menu_;
};

class TScriptedParent final : public TNamespace {
public:
    TScriptedParent(PItemIDList pidl, IShellFolder& folder) : TNamespace(pidl, nullptr), folder_(folder) {}

protected:
    HRESULT BindShellFolder(TComPtr<IShellFolder>& folder) override {
        *folder.Put() = &folder_;
        folder_.AddRef();
        return S_OK;
    }

private:
    IShellFolder& folder_;
};

class TRecordedMessages final : public TWideMessageSeam {
public:
    int Show(const TWideMessage& message) override {
        shown.push_back(message);
        return IDOK;
    }
    std::vector<TWideMessage> shown;
};

// Answers for the user: the menu choice, the shift key, the property sheet entry; records what would run.
class TTestPlatform final : public TShellOperationsPlatform {
public:
    HWND owner = reinterpret_cast<HWND>(0x1234);
    UINT chosen = 0;
    bool shift = false;
    TMultiFileProperties multiFileProperties = nullptr;
    std::function<void(HMENU)> whileTracking;
    int tracked = 0;
    std::vector<SHELLEXECUTEINFOW> executed; // the texts they point at are gone
    std::vector<WideString> directories;
    HANDLE processHandle = nullptr;

    HWND OwnerWindow() override { return owner; }
    BOOL ShellExecute(SHELLEXECUTEINFOW& info) override {
        executed.push_back(info);
        directories.push_back(FromW(info.lpDirectory));
        info.hProcess = processHandle;
        return TRUE;
    }
    UINT TrackPopupMenu(HMENU menu, UINT flags, POINT, HWND) override {
        ++tracked;
        EXPECT_EQ(flags, UINT(TPM_RETURNCMD | TPM_RIGHTBUTTON));
        if (whileTracking)
            whileTracking(menu);
        return chosen;
    }
    bool ShiftDown() override { return shift; }
    TMultiFileProperties MultiFileProperties() override { return multiFileProperties; }
};

int propertySheetCalls = 0;
HRESULT WINAPI RecordPropertySheet(IDataObject* items, DWORD flags) {
    ++propertySheetCalls;
    EXPECT_NE(items, nullptr);
    EXPECT_EQ(flags, 0u);
    return S_OK;
}
HRESULT WINAPI StubPropertySheet(IDataObject*, DWORD) {
    ++propertySheetCalls;
    return E_NOTIMPL;
}

class ShellOperationsTest : public ShellLayerTest {
protected:
    void SetUp() override {
        MakeTree();
        previousMessages = SetWideMessages(&messages);
        previousPlatform = SetShellOperationsPlatform(&platform);
        parent = std::make_unique<TScriptedParent>(PathToPIDL(Path("")), folder);
    }
    void TearDown() override {
        children.clear();
        parent.reset();
        SetShellOperationsPlatform(previousPlatform);
        SetWideMessages(previousMessages);
        EXPECT_EQ(menu.references, 1u) << "a shell menu was kept or lost";
        EXPECT_EQ(folder.references, 1u);
        ShellLayerTest::TearDown();
    }
    // A child of the scripted parent on the real record of a file of the tree.
    TNamespace* Child(const std::string& name) {
        PItemIDList absolute = PathToPIDL(Path(name));
        const TPIDLManager& manager = TShellLayer::Get().PIDLMgr();
        PItemIDList record = manager.CopyPIDL(TPIDLManager::GetLastID(absolute));
        manager.FreePIDL(absolute);
        children.push_back(std::make_unique<TNamespace>(record, parent.get()));
        return children.back().get();
    }

    TScriptedContextMenu menu;
    TMenuFolder folder{menu};
    TRecordedMessages messages;
    TTestPlatform platform;
    TWideMessageSeam* previousMessages = nullptr;
    TShellOperationsPlatform* previousPlatform = nullptr;
    std::unique_ptr<TScriptedParent> parent;
    std::vector<std::unique_ptr<TNamespace>> children;
};

TEST_F(ShellOperationsTest, VerbsCheckTheirItemsFirst) {
    struct Case {
        const char* name;
        SFGAOF attributes;
        bool (TNamespace::*verb)(const TNamespaceArray&);
        bool foreign; // one item lives in another folder
        bool result;
        std::vector<UINT> invoked;
        bool message;
    };
    const Case cases[] = {
        {"copy", SFGAO_CANCOPY, &TNamespace::Copy, false, true, {2}, false},
        {"cut of an undeletable item", SFGAO_CANCOPY, &TNamespace::Cut, false, false, {}, false},
        {"cut", SFGAO_CANDELETE, &TNamespace::Cut, false, true, {4}, false},
        {"delete of an undeletable item", SFGAO_CANCOPY, &TNamespace::Delete, false, false, {}, false},
        {"delete", SFGAO_CANDELETE, &TNamespace::Delete, false, true, {3}, false},
        {"copy with a stranger", SFGAO_CANCOPY, &TNamespace::Copy, true, false, {}, true},
        {"delete with a stranger", SFGAO_CANDELETE, &TNamespace::Delete, true, false, {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        menu.invokedOffsets.clear();
        messages.shown.clear();
        folder.attributes = c.attributes;
        TNamespace* a = Child("a.txt");
        TNamespaceArray items{a, Child("b.ker")};
        std::unique_ptr<TNamespace> stranger;
        if (c.foreign) {
            stranger = Item("sub\\inner.dat");
            items.push_back(stranger.get());
        }
        EXPECT_EQ((a->*c.verb)(items), c.result);
        EXPECT_EQ(menu.invokedOffsets, c.invoked);
        ASSERT_EQ(messages.shown.size(), c.message ? 1u : 0u);
        if (c.message) {
            EXPECT_EQ(messages.shown[0].caption, u"Error");
            EXPECT_EQ(messages.shown[0].text,
                      u"PIDLs to operate on are not siblings of the Namespace doing the operation.");
            EXPECT_EQ(messages.shown[0].owner, platform.owner);
        }
        children.clear();
    }
    EXPECT_FALSE(Child("a.txt")->Paste({}));
}

TEST_F(ShellOperationsTest, VerbInvocationAsksOnlyCommandsAndPassesTheOffset) {
    TNamespace* a = Child("a.txt");
    ASSERT_TRUE(a->Copy({a}));
    // Neither the separator (id 0) nor the submenu was asked for a verb.
    for (UINT offset : menu.verbOffsetsAsked)
        EXPECT_LE(offset, 5u);
    EXPECT_EQ(menu.queriedFlags, UINT(CMF_EXPLORE));
    EXPECT_EQ(menu.lastInvoke.cbSize, sizeof(CMINVOKECOMMANDINFOEX));
    EXPECT_TRUE(menu.lastInvoke.fMask & CMIC_MASK_UNICODE);
    EXPECT_EQ(reinterpret_cast<UINT_PTR>(menu.lastInvoke.lpVerbW), 2u);
    EXPECT_EQ(menu.lastInvoke.hwnd, platform.owner);
    EXPECT_EQ(menu.lastInvoke.nShow, SW_SHOWNORMAL);
}

TEST_F(ShellOperationsTest, PropertySheetFallsBackToTheVerbWithoutTheShellsEntry) {
    folder.attributes = SFGAO_HASPROPSHEET;
    TNamespace* a = Child("a.txt");
    TNamespace* b = Child("b.ker");
    EXPECT_TRUE(a->ShowPropertySheetMulti({a, b}));
    EXPECT_EQ(menu.invokedOffsets, std::vector<UINT>{5});

    menu.invokedOffsets.clear();
    propertySheetCalls = 0;
    platform.multiFileProperties = RecordPropertySheet;
    EXPECT_TRUE(a->ShowPropertySheetMulti({a, b}));
    EXPECT_EQ(propertySheetCalls, 1);
    EXPECT_TRUE(menu.invokedOffsets.empty());

    // An entry point that is only a stub: the verb after all.
    platform.multiFileProperties = StubPropertySheet;
    EXPECT_TRUE(a->ShowPropertySheetMulti({a, b}));
    EXPECT_EQ(propertySheetCalls, 2);
    EXPECT_EQ(menu.invokedOffsets, std::vector<UINT>{5});

    folder.attributes = SFGAO_CANCOPY; // no property sheet: nothing at all
    children.clear();
    TNamespace* c = Child("c.bin");
    EXPECT_FALSE(c->ShowPropertySheetMulti({c}));
    EXPECT_EQ(propertySheetCalls, 2);
}

TEST_F(ShellOperationsTest, ContextMenuKeepsTheShellMenuWhileItIsUp) {
    TNamespace* a = Child("a.txt");
    TCustomSubMenu custom;
    custom.Caption = u"Tarvola";
    int clicked = 0;
    custom.Items.push_back(
        TCustomMenuItem{u"Mine", false, true, false, true, TCustomMenuBreak::None, [&] { ++clicked; }});
    custom.Items.push_back(TCustomMenuItem{u"-", false, false, false, true, TCustomMenuBreak::None, {}});

    std::vector<UINT> customIds;
    WideString verbWhileUp;
    LRESULT forwarded = 0;
    platform.whileTracking = [&](HMENU shown) {
        // The last item opens our popup, after a separator; its ids lie above the shell's range.
        const int count = GetMenuItemCount(shown);
        HMENU ours = GetSubMenu(shown, count - 1);
        ASSERT_NE(ours, nullptr);
        for (int i = 0; i < GetMenuItemCount(ours); ++i)
            customIds.push_back(GetMenuItemID(ours, i));
        EXPECT_TRUE(a->HandleContextMenuMsg(WM_INITMENUPOPUP, 0, 0, forwarded));
        verbWhileUp = a->GetContextMenuVerb(3);
    };
    std::vector<std::string> calls;
    TContextMenuCallbacks callbacks;
    callbacks.OnCommand = [&](TNamespace& item, const WideString& verb, UINT id, bool&) {
        EXPECT_EQ(&item, a);
        calls.push_back("command " + WideToUtf8(verb) + " " + std::to_string(id));
    };
    callbacks.OnAfterCommand = [&](TNamespace&, const WideString& verb, UINT, bool ok) {
        calls.push_back("after " + WideToUtf8(verb) + (ok ? " ok" : " failed"));
    };
    const POINT at{10, 10};

    platform.chosen = 0x21; // the command inside "Send To": no verb
    EXPECT_TRUE(a->ShowContextMenu(nullptr, callbacks, &at, &custom));
    EXPECT_EQ(menu.queriedFlags, UINT(CMF_EXPLORE | CMF_CANRENAME));
    ASSERT_EQ(customIds.size(), 2u);
    for (UINT id : customIds)
        EXPECT_GE(id, 0x8000u);
    EXPECT_EQ(forwarded, 7); // through IContextMenu3
    EXPECT_EQ(menu.menuMessages, std::vector<UINT>{WM_INITMENUPOPUP});
    EXPECT_EQ(verbWhileUp, u"copy");
    EXPECT_EQ(calls, (std::vector<std::string>{"command Unknown Command 33", "after Unknown Command ok"}));
    EXPECT_EQ(menu.invokedOffsets, std::vector<UINT>{0x20});
    // Once the menu is gone nothing is forwarded.
    EXPECT_FALSE(a->HandleContextMenuMsg(WM_INITMENUPOPUP, 0, 0, forwarded));
    EXPECT_EQ(a->GetContextMenuVerb(3), u"");

    platform.chosen = customIds[0];
    calls.clear();
    menu.invokedOffsets.clear();
    EXPECT_TRUE(a->ShowContextMenu(nullptr, callbacks, &at, &custom));
    EXPECT_EQ(clicked, 1);
    EXPECT_TRUE(calls.empty());
    EXPECT_TRUE(menu.invokedOffsets.empty());

    // A veto shows nothing; the shift key asks for the extended verbs.
    platform.shift = true;
    platform.tracked = 0;
    callbacks.OnShow = [](TNamespace&, HMENU, bool& allow) { allow = false; };
    EXPECT_FALSE(a->ShowContextMenuMulti(nullptr, {a, Child("b.ker")}, callbacks, &at));
    EXPECT_EQ(platform.tracked, 0);
    EXPECT_EQ(menu.queriedFlags, UINT(CMF_EXPLORE | CMF_EXTENDEDVERBS)); // two items: no rename
    EXPECT_EQ(folder.uiObjectCounts.back(), 2u);
}

TEST_F(ShellOperationsTest, ItemsThatTakeNoDropsAnswerNoEffect) {
    folder.attributes = SFGAO_CANCOPY;
    TNamespace* a = Child("a.txt");
    DWORD effect = DROPEFFECT_COPY;
    EXPECT_EQ(a->DragEnter(nullptr, 0, POINTL{0, 0}, effect), S_OK);
    EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));
    effect = DROPEFFECT_MOVE;
    EXPECT_EQ(a->Drop(nullptr, 0, POINTL{0, 0}, effect), S_OK);
    EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));
}

// ---- Against the real shell

class RealShellOperationsTest : public ShellLayerTest {
protected:
    void SetUp() override { MakeTree(); }
};

TEST_F(RealShellOperationsTest, RenameChangesTheDiskAndFollowsTheItem) {
    const auto root = Item("");
    TNamespace* parentItem = root.get();
    PItemIDList absolute = PathToPIDL(Path("a.txt"));
    const TPIDLManager& manager = TShellLayer::Get().PIDLMgr();
    TNamespace child(manager.CopyPIDL(TPIDLManager::GetLastID(absolute)), parentItem);
    manager.FreePIDL(absolute);
    const auto loose = Item("b.ker"); // without a parent item

    ASSERT_TRUE(child.SetNameOf(u"renamed.txt"));
    ASSERT_TRUE(loose->SetNameOf(u"loose.ker"));
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "a.txt"));
    EXPECT_TRUE(std::filesystem::exists(folder.Path() / "renamed.txt"));
    EXPECT_TRUE(std::filesystem::exists(folder.Path() / "loose.ker"));
    for (TNamespace* item : {&child, loose.get()}) {
        EXPECT_EQ(item->RelativePIDL(), TPIDLManager::GetLastID(item->AbsolutePIDL()));
        EXPECT_EQ(item->RelativePIDL()[item->RelativePIDL()[0]], 0); // one record
    }
    EXPECT_EQ(child.NameParseAddress(), Path("renamed.txt"));
    EXPECT_EQ(loose->NameParseAddress(), Path("loose.ker"));
    PItemIDList expected = PathToPIDL(Path("renamed.txt"));
    EXPECT_TRUE(TShellLayer::Get().Identity().Equal(child.AbsolutePIDL(), expected));
    manager.FreePIDL(expected);

    // A name that is taken leaves everything as it was.
    EXPECT_FALSE(child.SetNameOf(u"c.bin"));
    EXPECT_TRUE(std::filesystem::exists(folder.Path() / "renamed.txt"));
    EXPECT_EQ(child.NameParseAddress(), Path("renamed.txt"));
}

// A link to c.bin written through the shell's own link object.
void WriteLink(const std::filesystem::path& link, const WideString& target) {
    TComPtr<IShellLinkW> shellLink;
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                           shellLink.PutVoid())));
    shellLink->SetPath(AsW(target));
    shellLink->SetArguments(L"-x 1");
    shellLink->SetDescription(L"a test link");
    shellLink->SetWorkingDirectory(L"C:\\");
    const TComPtr<IPersistFile> file = shellLink.As<IPersistFile>(IID_IPersistFile);
    ASSERT_TRUE(file);
    ASSERT_TRUE(SUCCEEDED(file->Save(link.c_str(), TRUE)));
}

TEST_F(RealShellOperationsTest, ReadLinkReadsAReadOnlyShortcut) {
    const auto link = folder.Path() / "c.lnk";
    WriteLink(link, Path("c.bin"));
    // Only read: a link the user may not write to reads as well.
    SetFileAttributesW(link.c_str(), FILE_ATTRIBUTE_READONLY);

    TVirtualShellLink reader;
    reader.FileName = WidePath(link);
    ASSERT_TRUE(reader.ReadLink());
    SetFileAttributesW(link.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(reader.TargetPath(), Path("c.bin"));
    EXPECT_EQ(reader.Arguments(), u"-x 1");
    EXPECT_EQ(reader.Description(), u"a test link");
    EXPECT_EQ(reader.WorkingDirectory(), u"C:\\");
    ASSERT_NE(reader.TargetIDList(), nullptr);
    PItemIDList expected = PathToPIDL(Path("c.bin"));
    EXPECT_TRUE(TShellLayer::Get().Identity().Equal(reader.TargetIDList(), expected));
    TShellLayer::Get().PIDLMgr().FreePIDL(expected);

    // Read again: the earlier target list is given back first.
    ASSERT_TRUE(reader.ReadLink());
    reader.FileName = Path("missing.lnk");
    EXPECT_FALSE(reader.ReadLink());
    EXPECT_EQ(reader.Arguments(), u"-x 1"); // what it held stays
}

TEST_F(RealShellOperationsTest, ExecuteGivesBackTheProcessHandle) {
    TTestPlatform platform;
    TShellOperationsPlatform* previous = SetShellOperationsPlatform(&platform);
    const auto file = Item("a.txt");
    const auto sub = Item("sub");

    platform.processHandle = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(platform.processHandle, nullptr);
    EXPECT_TRUE(file->ShellExecuteNamespace(u"Z:\\no such folder", u"-v"));
    DWORD flags = 0;
    EXPECT_FALSE(GetHandleInformation(platform.processHandle, &flags)) << "the process handle was kept";
    ASSERT_EQ(platform.executed.size(), 1u);
    const SHELLEXECUTEINFOW& info = platform.executed[0];
    EXPECT_EQ(info.fMask, ULONG(SEE_MASK_INVOKEIDLIST | SEE_MASK_NOCLOSEPROCESS));
    EXPECT_EQ(info.lpIDList, static_cast<void*>(file->AbsolutePIDL()));
    EXPECT_EQ(info.hwnd, platform.owner);
    EXPECT_EQ(info.nShow, SW_SHOWNORMAL);
    EXPECT_EQ(platform.directories[0], WidePath(folder.Path())); // the item's own folder

    // A folder runs only when asked; a working folder that exists is taken as it is.
    platform.processHandle = nullptr;
    EXPECT_FALSE(sub->ShellExecuteNamespace(u"", u""));
    EXPECT_EQ(platform.executed.size(), 1u);
    EXPECT_TRUE(sub->ShellExecuteNamespace(Path("empty"), u"", true));
    ASSERT_EQ(platform.executed.size(), 2u);
    EXPECT_EQ(platform.directories[1], Path("empty"));

    // A link to a folder runs only when asked; a link to a file runs.
    WriteLink(folder.Path() / "to sub.lnk", Path("sub"));
    WriteLink(folder.Path() / "to a.lnk", Path("a.txt"));
    const auto toSub = Item("to sub.lnk");
    const auto toFile = Item("to a.lnk");
    ASSERT_TRUE(toSub->Link());
    EXPECT_FALSE(toSub->ShellExecuteNamespace(u"", u""));
    EXPECT_EQ(platform.executed.size(), 2u);
    EXPECT_TRUE(toSub->ShellExecuteNamespace(u"", u"", false, true));
    EXPECT_TRUE(toFile->ShellExecuteNamespace(u"", u""));
    EXPECT_EQ(platform.executed.size(), 4u);
    SetShellOperationsPlatform(previous);
}

TEST_F(RealShellOperationsTest, CopyPutsTheFilesOnTheClipboard) {
    const auto a = Item("a.txt");
    OleSetClipboard(nullptr);
    ASSERT_TRUE(a->Copy({a.get()}));
    TComPtr<IDataObject> data;
    ASSERT_TRUE(SUCCEEDED(OleGetClipboard(data.Put())));
    FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    EXPECT_EQ(data->QueryGetData(&format), S_OK);
    data.Reset();
    OleSetClipboard(nullptr);
}

} // namespace
} // namespace tarvola::test
