#include "tests/shell/ShellLayerFixture.h"

#include <filesystem>
#include <optional>
#include <vector>

namespace tarvola::test {
namespace {

constexpr wchar_t kAdvanced[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";

// The user's "hide extensions of known file types" setting, put back as it was when the test ends.
class HideExtensionsSetting {
public:
    HideExtensionsSetting() {
        DWORD value = 0, size = sizeof(value);
        if (RegGetValueW(HKEY_CURRENT_USER, kAdvanced, L"HideFileExt", RRF_RT_REG_DWORD, nullptr, &value,
                         &size) == ERROR_SUCCESS)
            saved_ = value;
    }
    ~HideExtensionsSetting() {
        if (saved_)
            Set(*saved_ != 0);
        else
            RegDeleteKeyValueW(HKEY_CURRENT_USER, kAdvanced, L"HideFileExt");
    }
    static void Set(bool hide) {
        const DWORD value = hide ? 1 : 0;
        ASSERT_EQ(
            RegSetKeyValueW(HKEY_CURRENT_USER, kAdvanced, L"HideFileExt", REG_DWORD, &value, sizeof(value)),
            ERROR_SUCCESS);
    }

private:
    std::optional<DWORD> saved_;
};

// A file type of this test's own whose extension is never shown, registered for the test's length.
class NeverShownType {
public:
    NeverShownType() {
        const wchar_t className[] = L"TarvolaTest.NeverShown";
        RegSetKeyValueW(HKEY_CLASSES_ROOT, L".tvnever", nullptr, REG_SZ, className, sizeof(className));
        RegSetKeyValueW(HKEY_CLASSES_ROOT, className, L"NeverShowExt", REG_SZ, L"", sizeof(wchar_t));
    }
    ~NeverShownType() {
        RegDeleteTreeW(HKEY_CLASSES_ROOT, L".tvnever");
        RegDeleteTreeW(HKEY_CLASSES_ROOT, L"TarvolaTest.NeverShown");
    }
};

class NamespaceNamesTest : public ShellLayerTest {
protected:
    void SetUp() override {
        for (const char* name : {"a.wav", "b.wav", "c.txt", "D.WAV", "e.tvnever", "f.tvnever", "README",
                                 "hall.b c", "two.dots.txt", ".wav", "z.txt"})
            folder.Write(name, "x");
        for (const char* name : {"Folder.wav", "Plain", "g.tvnever"})
            std::filesystem::create_directory(folder.Path() / name);
        root = Item("");
        root->EnumerateFolder(true, true, true, [&](PItemIDList child, TNamespace& in, bool&) {
            children.push_back(std::make_unique<TNamespace>(child, &in));
            return true;
        });
        for (const auto& child : children)
            pointers.push_back(child.get());
    }

    // Each child's in-folder name asked of the shell now, item by item.
    std::vector<WideString> ShellNames() const {
        std::vector<WideString> names;
        for (const auto& child : children)
            names.push_back(child->GetDisplayNameOf(SHGDN_INFOLDER));
        return names;
    }
    std::vector<WideString> RememberedNames() const {
        std::vector<WideString> names;
        for (const auto& child : children)
            names.push_back(child->NameInFolder());
        return names;
    }

    HideExtensionsSetting setting;
    NeverShownType neverShown;
    std::unique_ptr<TNamespace> root;
    std::vector<std::unique_ptr<TNamespace>> children;
    std::vector<TNamespace*> pointers;
};

// The names found together are the shell's own, item by item, whether the system shows or hides
// extensions; they are remembered (a later change of the setting shows only in items asked afresh).
TEST_F(NamespaceNamesTest, NamesFoundTogetherAreTheShellsOwn) {
    for (const bool hide : {false, true}) {
        SCOPED_TRACE(hide ? "extensions hidden" : "extensions shown");
        HideExtensionsSetting::Set(hide);
        const std::vector<WideString> expected = ShellNames();
        TNamespace::PrepareNamesInFolder(pointers);
        HideExtensionsSetting::Set(!hide);
        ASSERT_NE(ShellNames(), expected) << "the setting changes no name: the test shows nothing";
        EXPECT_EQ(RememberedNames(), expected);
        for (const auto& child : children)
            child->InvalidateCache();
    }
}

// A desktop.ini may give items names of their own: such a folder's items are each asked as before.
TEST_F(NamespaceNamesTest, AFolderWithADesktopIniIsAskedItemByItem) {
    folder.Write("desktop.ini", "[.ShellClassInfo]\r\n");
    HideExtensionsSetting::Set(false);
    TNamespace::PrepareNamesInFolder(pointers);
    HideExtensionsSetting::Set(true);
    EXPECT_EQ(RememberedNames(), ShellNames());
}

} // namespace
} // namespace tarvola::test
