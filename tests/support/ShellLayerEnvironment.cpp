// OLE and the shell layer for a whole test program, as the program starts them around its run: for the
// test programs whose windows hold an explorer view (the designer's preset list). Listed among the sources
// of such a test program (not in the support library, which would leave it out of the link).
#include "shell/VirtualShellUtilities.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <ole2.h>

namespace tarvola::test {
namespace {

class ShellLayerEnvironment : public testing::Environment {
public:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        TShellLayer::Startup();
    }
    void TearDown() override {
        TShellLayer::Shutdown();
        OleUninitialize();
    }
};

[[maybe_unused]] testing::Environment* const kShellLayer =
    testing::AddGlobalTestEnvironment(new ShellLayerEnvironment);

} // namespace
} // namespace tarvola::test
