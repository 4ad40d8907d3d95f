// Shell items over a scripted folder: what an item asks of its folder, how often, and what it makes of
// answers a real folder gives only now and then.
#include "tests/shell/ShellLayerFixture.h"

#include <cstring>
#include <vector>

namespace tarvola::test {
namespace {

// Stores text as an OLE string in the shell's memory, as a folder hands it over.
void SetOleString(STRRET& out, const wchar_t* text) {
    const std::size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
    out.uType = STRRET_WSTR;
    out.pOleStr = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
    std::memcpy(out.pOleStr, text, bytes);
}

class TScriptedFolder final : public IShellFolder2 {
public:
    // Script.
    bool offersFolder2 = true;
    UINT columnStates = 3;  // columns answering GetDefaultColumnState
    UINT columnDetails = 3; // columns answering GetDetailsOf
    HRESULT compareResult = S_OK;
    HRESULT enumResult = S_FALSE; // with no enumerator, as an empty or unreadable folder may answer
    UINT nameType = STRRET_WSTR;
    UINT nameOffset = 2;
    const wchar_t* wideName = L"wide name";
    // Record.
    int attributeCalls = 0;
    ULONG references = 1;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IShellFolder) ||
            (offersFolder2 && IsEqualIID(iid, IID_IShellFolder2))) {
            *object = static_cast<IShellFolder2*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; } // lives on the test's stack

    HRESULT STDMETHODCALLTYPE ParseDisplayName(HWND, IBindCtx*, LPWSTR, ULONG*, PIDLIST_RELATIVE*,
                                               ULONG*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE EnumObjects(HWND, SHCONTF, IEnumIDList** list) override {
        *list = nullptr;
        return enumResult;
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
        return compareResult;
    }
    HRESULT STDMETHODCALLTYPE CreateViewObject(HWND, REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE GetAttributesOf(UINT, PCUITEMID_CHILD_ARRAY, SFGAOF* attributes) override {
        ++attributeCalls;
        *attributes &= SFGAO_CANRENAME | SFGAO_CANCOPY;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetUIObjectOf(HWND, UINT, PCUITEMID_CHILD_ARRAY, REFIID, UINT*,
                                            void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE GetDisplayNameOf(PCUITEMID_CHILD, SHGDNF, STRRET* name) override {
        name->uType = nameType;
        if (nameType == STRRET_WSTR)
            SetOleString(*name, wideName);
        else if (nameType == STRRET_CSTR)
            std::memcpy(name->cStr, "single", 7);
        else
            name->uOffset = nameOffset;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetNameOf(HWND, PCUITEMID_CHILD, LPCWSTR, SHGDNF, PITEMID_CHILD*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetDefaultSearchGUID(GUID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumSearches(IEnumExtraSearch** searches) override {
        *searches = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetDefaultColumn(DWORD, ULONG*, ULONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDefaultColumnState(UINT column, SHCOLSTATEF* state) override {
        if (column >= columnStates)
            return E_INVALIDARG;
        *state = SHCOLSTATE_TYPE_INT | SHCOLSTATE_ONBYDEFAULT;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDetailsEx(PCUITEMID_CHILD, const SHCOLUMNID*, VARIANT*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetDetailsOf(PCUITEMID_CHILD, UINT column, SHELLDETAILS* details) override {
        if (column >= columnDetails)
            return E_INVALIDARG;
        SetOleString(details->str, L"scripted");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE MapColumnToSCID(UINT, SHCOLUMNID*) override { return E_NOTIMPL; }
};

// An item whose folder is the scripted one.
class TScriptedItem final : public TNamespace {
public:
    TScriptedItem(PItemIDList pidl, TScriptedFolder& folder) : TNamespace(pidl, nullptr), folder_(folder) {}

protected:
    HRESULT BindShellFolder(TComPtr<IShellFolder>& folder) override {
        *folder.Put() = &folder_;
        folder_.AddRef();
        return S_OK;
    }

private:
    TScriptedFolder& folder_;
};

class ScriptedFolderTest : public ShellLayerTest {
protected:
    // The scripted folder stands on the temporary folder's place in the namespace.
    std::unique_ptr<TScriptedItem> Root() {
        return std::make_unique<TScriptedItem>(PathToPIDL(Path("")), fake);
    }
    // A child record {cb 7, "xyzab"} in the shell's memory.
    static PItemIDList ChildRecord() {
        const std::uint8_t bytes[] = {7, 0, 'x', 'y', 'z', 'a', 'b', 0, 0};
        auto* pidl = static_cast<PItemIDList>(CoTaskMemAlloc(sizeof(bytes)));
        std::memcpy(pidl, bytes, sizeof(bytes));
        return pidl;
    }
    void TearDown() override {
        ShellLayerTest::TearDown();
        EXPECT_EQ(fake.references, 1u) << "an item kept or lost a reference to its folder";
    }

    TScriptedFolder fake;
};

TEST_F(ScriptedFolderTest, CachedAttributesAskTheFolderOnce) {
    const auto root = Root();
    TNamespace child(ChildRecord(), root.get());
    EXPECT_TRUE(child.CanRename());
    EXPECT_TRUE(child.CanRename());
    EXPECT_FALSE(child.CanDelete());
    EXPECT_EQ(fake.attributeCalls, 2); // one per attribute
    child.InvalidateCache();
    EXPECT_TRUE(child.CanRename());
    EXPECT_EQ(fake.attributeCalls, 3);
    child.HasPropSheet();
    child.HasPropSheet(); // not a cached answer
    EXPECT_EQ(fake.attributeCalls, 5);
}

TEST_F(ScriptedFolderTest, ColumnCountsAtTheLimitFallBack) {
    struct Case {
        UINT states, details;
        int count;
    };
    const std::vector<Case> cases = {
        {3, 3, 3},       {250, 2, 2}, // the states claim too many: the titles are counted
        {250, 250, 5},                // both claim too many: the built-in columns
        {199, 250, 199},              // just under the limit stands
        {0, 0, 5},
    };
    for (const Case& c : cases) {
        fake.columnStates = c.states;
        fake.columnDetails = c.details;
        const auto root = Root();
        EXPECT_EQ(root->DetailsColumnCount(), c.count) << c.states << "/" << c.details;
    }
}

TEST_F(ScriptedFolderTest, CompareReadsTheWholeCodeWord) {
    struct Case {
        HRESULT hr;
        int order;
    };
    const std::vector<Case> cases = {{0x0100, 1}, {0xFFFF, -1}, {E_INVALIDARG, 0}, {0, 0}};
    const auto root = Root();
    TNamespace child(ChildRecord(), root.get());
    PItemIDList other = ChildRecord();
    for (const Case& c : cases) {
        fake.compareResult = c.hr;
        EXPECT_EQ(child.ComparePIDL(other, 0), c.order) << std::hex << c.hr;
    }
    CoTaskMemFree(other);
}

TEST_F(ScriptedFolderTest, FolderWithoutEnumeratorHasNoChildren) {
    for (const HRESULT result : {S_FALSE, S_OK, E_ACCESSDENIED}) {
        fake.enumResult = result;
        const auto root = Root();
        int calls = 0;
        EXPECT_EQ(root->EnumerateFolder(true, true, true,
                                        [&](PItemIDList, TNamespace&, bool&) {
                                            ++calls;
                                            return true;
                                        }),
                  0);
        EXPECT_EQ(calls, 0);
        EXPECT_FALSE(root->HasSubItems());
    }
}

TEST_F(ScriptedFolderTest, DisplayNamesOfEveryKind) {
    struct Case {
        UINT type, offset;
        std::u16string name;
    };
    const std::vector<Case> cases = {
        {STRRET_WSTR, 0, u"wide name"}, {STRRET_CSTR, 0, u"single"},
        {STRRET_OFFSET, 2, u"xyzab"},                            // text inside the item's own record
        {STRRET_OFFSET, 5, u"ab"},      {STRRET_OFFSET, 7, u""}, // past the record: nothing is read beyond it
        {STRRET_OFFSET, 4000, u""},
    };
    const auto root = Root();
    TNamespace child(ChildRecord(), root.get());
    for (const Case& c : cases) {
        fake.nameType = c.type;
        fake.nameOffset = c.offset;
        EXPECT_EQ(child.NameNormal(), c.name) << c.type << "/" << c.offset;
    }
}

TEST_F(ScriptedFolderTest, TypeOfAnItemTheShellCannotNameComesFromItsExtension) {
    fake.wideName = L"C:\\presets\\a.ker";
    class TNamelessType final : public TNamespace {
    public:
        using TNamespace::TNamespace;

    protected:
        WideString ShellTypeName() override { return {}; }
    };
    const auto root = Root();
    TNamelessType child(ChildRecord(), root.get());
    EXPECT_EQ(child.FileType(), u".KER File");
    fake.wideName = L"C:\\presets.d\\noext";
    child.InvalidateCache();
    EXPECT_EQ(child.FileType(), u" File"); // a dot in a folder's name is no extension
}

TEST_F(ScriptedFolderTest, InvalidationReleasesEveryFolderInterface) {
    const auto root = Root();
    ASSERT_NE(root->ShellFolder2(), nullptr);
    EXPECT_EQ(root->DetailsColumnCount(), 3);
    EXPECT_EQ(fake.references, 3u); // the folder and its IShellFolder2
    root->InvalidateNamespace();
    EXPECT_EQ(fake.references, 1u);
    fake.columnStates = fake.columnDetails = 4;
    EXPECT_EQ(root->DetailsColumnCount(), 4); // asked of the folder bound afresh
}

TEST_F(ScriptedFolderTest, DetailsOfAChildComeFromItsParentsFolder) {
    const auto root = Root();
    TNamespace child(ChildRecord(), root.get());
    EXPECT_EQ(child.DetailsOf(0), u"scripted");
    EXPECT_EQ(child.DetailsOf(3), u"");
    EXPECT_TRUE(root->DetailsColumnState(1).integer);
    fake.offersFolder2 = false;
    root->InvalidateNamespace();
    TNamespace plain(ChildRecord(), root.get());
    EXPECT_EQ(root->DetailsColumnCount(), 5);
    EXPECT_EQ(root->DetailsColumnTitle(1), u"Size");
    EXPECT_EQ(TNamespace::DetailsDefaultColumnCount(), 5);
    EXPECT_EQ(TNamespace::DetailsDefaultColumnTitle(3), u"Modified");
    EXPECT_EQ(TNamespace::DetailsDefaultColumnTitle(-1), u"Name");
    EXPECT_EQ(TNamespace::DetailsDefaultColumnTitle(10), u"");
    EXPECT_TRUE(root->DetailsColumnState(1).onByDefault);
    EXPECT_EQ(plain.DetailsOf(4), u""); // no file data behind a scripted record
}

} // namespace
} // namespace tarvola::test
