// Starts COM and the shell layer around a test suite, the way the program does around its run, and builds
// a small folder tree to look at through the shell.
#pragma once

#include "shell/VirtualShellUtilities.h"
#include "shell/VirtualUnicodeDefines.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

namespace tarvola::test {

inline WideString WidePath(const std::filesystem::path& path) {
    return WideString(reinterpret_cast<const char16_t*>(path.wstring().c_str()));
}

class ShellLayerTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        TShellLayer::Startup();
    }
    static void TearDownTestSuite() {
        TShellLayer::Shutdown();
        OleUninitialize();
    }

    // The tree: a.txt (100 bytes), b.ker (1,536), c.bin (2,048), hidden.txt (hidden), readonly.txt
    // (read-only), empty\ and sub\inner.dat.
    void MakeTree() {
        folder.Write("a.txt", std::string(100, 'a'));
        folder.Write("b.ker", std::string(1536, 'b'));
        folder.Write("c.bin", std::string(2048, 'c'));
        SetFileAttributesW(folder.Write("hidden.txt", "h").c_str(), FILE_ATTRIBUTE_HIDDEN);
        SetFileAttributesW(folder.Write("readonly.txt", "r").c_str(), FILE_ATTRIBUTE_READONLY);
        std::filesystem::create_directory(folder.Path() / "empty");
        std::filesystem::create_directory(folder.Path() / "sub");
        folder.Write("sub/inner.dat", "inner");
    }
    void TearDown() override {
        SetFileAttributesW((folder.Path() / "readonly.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    }

    WideString Path(const std::string& name) const { return WidePath(folder.Path() / name); }
    std::unique_ptr<TNamespace> Item(const std::string& name) const {
        return TNamespace::CreateFromFileName(name.empty() ? WidePath(folder.Path()) : Path(name));
    }

    TTempFolder folder;
};

} // namespace tarvola::test
