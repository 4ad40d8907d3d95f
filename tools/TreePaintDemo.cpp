// A look at the tree as a user sees it: a form with a string tree of 10,000 nodes in three columns, check
// boxes and tree lines. Run with "classic" on the command line to leave the visual styles out.
#include "forms/Application.h"
#include "forms/Form.h"
#include "tools/TreePaintDemoTree.h"
#include "tree/TreeControl.h"
#include "tree/TreeResources.h"

#include <windows.h>

#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    using namespace tarvola;
    Application().Initialize();
    const bool classic = commandLine != nullptr && std::strstr(commandLine, "classic") != nullptr;
    try {
        TTreeResourcesUse resources;
        TForm& form = Application().CreateForm<TForm>();
        form.SetCaption(classic ? "Tree painting (classic)" : "Tree painting (themed)");
        form.SetClientSize(520, 400);
        auto& control = form.Create<TVirtualTreeControl>(
            TVirtualTreeControl::TTreeFactory([](ITreeViewHost* host) { return demo::MakeDemoTree(host); }));
        control.SetParent(&form);
        control.SetBounds(8, 8, 504, 384);
        demo::DressDemoTree(control.Tree(), classic);
        form.Show();
        Application().Run();
    } catch (...) {
        Application().HandleException(std::current_exception());
        return 1;
    }
    return 0;
}
