// Explorer tree speed under Wine on a folder of many files: opening it (every node present, the first
// screen's texts and icons asked for) and refreshing it unchanged (no node may change), against a plain
// FindFirstFileW walk of the same folder followed by a sort of the names, and against a rebuild (with its
// first screen too), all in the same run. Windows only; build and run it with bench/run-wine.sh.
// Usage: bench_explorer [--files N] [--rows N]
#ifdef _WIN32

#include "explorer/VirtualExplorerTree.h"
#include "explorer/VirtualExplorerTreeShell.h"
#include "shell/VirtualShellUtilities.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace tarvola;

namespace {

double Seconds(const std::chrono::steady_clock::time_point& start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The folder's names as FindFirstFileW lists them, sorted as a file list sorts (without regard to case).
std::size_t WalkAndSort(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    const HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    do {
        if (std::wcscmp(data.cFileName, L".") != 0 && std::wcscmp(data.cFileName, L"..") != 0)
            names.emplace_back(data.cFileName);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
        return lstrcmpiW(a.c_str(), b.c_str()) < 0;
    });
    return names.size();
}

int Run(int files, int rows) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("tarvola-bench-explorer-" + std::to_string(GetCurrentProcessId()));
    std::filesystem::create_directories(folder);
    for (int i = 0; i < files; ++i)
        std::ofstream(folder / ("preset " + std::to_string(i) + ".ker")) << 'x';

    // Each figure but the first open is the best of three runs: the machine may be busy with other work.
    auto best = [](const auto& run) {
        double fastest = 0;
        for (int i = 0; i < 3; ++i) {
            const auto begin = std::chrono::steady_clock::now();
            run();
            const double took = Seconds(begin);
            fastest = i == 0 ? took : std::min(fastest, took);
        }
        return fastest;
    };
    std::size_t walked = 0;
    const double walk = best([&] { walked = WalkAndSort(folder.wstring()); });

    TShellExplorerNamespace shell;
    TVirtualExplorerTree tree{shell};
    tree.SetFolderOptions({TVETFolderOption::toHideRootFolder});
    tree.SetFileObjects({TFileObject::foFolders, TFileObject::foNonFolders});
    // What a window asks for when it paints its first screen: each visible row's text and icon. Every
    // figure below ends with it, as the user waits for it after each of them.
    int row = 0;
    std::size_t textLength = 0;
    double textsTook = 0;
    auto firstScreen = [&] {
        const auto begin = std::chrono::steady_clock::now();
        std::vector<PVirtualNode> shown;
        row = 0;
        textLength = 0;
        for (PVirtualNode node = tree.GetFirstChild(tree.RootNode()); node != nullptr && row < rows;
             node = tree.GetNextSibling(node), ++row) {
            textLength += tree.GetText(node, NoColumn).size();
            shown.push_back(node);
        }
        textsTook = Seconds(begin);
        for (PVirtualNode node : shown)
            tree.ImageIndexFor(node, TVTImageKind::ikNormal);
    };
    const std::wstring path = folder.wstring();
    auto start = std::chrono::steady_clock::now();
    tree.SetRootFolderCustomPath(WideString(path.begin(), path.end()));
    tree.SetActive(true);
    const double nodesReady = Seconds(start);
    firstScreen();
    const double open = Seconds(start);
    const double openTexts = textsTook;
    const std::uint32_t listed = tree.RootNodeCount();

    int changes = 0;
    auto countChanges = [&](TCustomVirtualExplorerTree&, PVirtualNode, IExplorerItem*,
                            TNamespaceStructureChange) { ++changes; };
    tree.OnNamespaceStructureChange = TVETStructureChangeEvent::Bind(countChanges);
    auto children = [&] {
        std::vector<PVirtualNode> nodes;
        for (PVirtualNode node = tree.GetFirstChild(tree.RootNode()); node != nullptr;
             node = tree.GetNextSibling(node))
            nodes.push_back(node);
        return nodes;
    };
    const std::vector<PVirtualNode> before = children();
    const double refresh = best([&] {
        tree.RefreshNodeChildren(tree.RootNode());
        firstScreen();
    });
    const bool nodesKept = children() == before;
    const int unchangedChanges = changes;

    const double rebuild = best([&] {
        tree.RebuildTree();
        firstScreen();
    });

    // The unchanged refresh of a folder without a watch (a network folder): it lists the folder again.
    tree.WatchedListingMinimum = UINT32_MAX;
    tree.RebuildTree();
    changes = 0;
    const double listedRefresh = best([&] {
        tree.RefreshNodeChildren(tree.RootNode());
        firstScreen();
    });
    const bool listedNodesKept = changes == 0 && tree.RootNodeCount() == listed;

    // The same with one new file: the merge sorts both listings by the shell's order.
    std::ofstream(folder / "preset new.ker") << 'x';
    changes = 0;
    start = std::chrono::steady_clock::now();
    tree.RefreshNodeChildren(tree.RootNode());
    firstScreen();
    const double changedRefresh = Seconds(start);
    const int changedNodes = changes;

    std::size_t enumerated = 0;
    const double enumeration = best([&] {
        enumerated = tree.RootItem()
                         ->Enumerate(EnumerationFlags({TFileObject::foFolders, TFileObject::foNonFolders}))
                         .Children.size();
    });

    std::size_t recorded = 0;
    const double records = best([&] {
        recorded = tree.RootItem()
                       ->EnumerateIDs(EnumerationFlags({TFileObject::foFolders, TFileObject::foNonFolders}))
                       .Children.size();
    });

    tree.SetActive(false);
    std::filesystem::remove_all(folder);

    std::printf("files %d, listed %u, walked %zu, first screen %d rows (%zu characters)\n", files, listed,
                walked, row, textLength);
    std::printf("FindFirstFileW walk + sort: %.3f s\n", walk);
    std::printf("explorer open:              %.3f s  ratio to walk %.2fx (nodes %.3f s, first screen %.3f s: "
                "texts %.3f s, icons %.3f s)\n",
                open, open / walk, nodesReady, open - nodesReady, openTexts, open - nodesReady - openTexts);
    std::printf("unchanged refresh:          %.4f s  node changes %d, every node kept %s\n", refresh,
                unchangedChanges, nodesKept ? "yes" : "NO");
    std::printf("rebuild:                    %.3f s  refresh / rebuild %.3f\n", rebuild, refresh / rebuild);
    std::printf("unchanged refresh, listing: %.3f s  (no watch) refresh / rebuild %.2f\n", listedRefresh,
                listedRefresh / rebuild);
    std::printf("refresh with one new file:  %.3f s  node changes %d, refresh / rebuild %.2f\n",
                changedRefresh, changedNodes, changedRefresh / rebuild);
    std::printf("the shell's listing alone:  %.3f s  (%zu items) ratio to walk %.2fx\n", enumeration,
                enumerated, enumeration / walk);
    std::printf("the listing's records alone: %.3f s  (%zu items) ratio to walk %.2fx\n", records, recorded,
                records / walk);
    return listed == static_cast<std::uint32_t>(files) && unchangedChanges == 0 && nodesKept &&
                   listedNodesKept && changedNodes == 1
               ? 0
               : 1;
}

} // namespace

int main(int argc, char** argv) {
    int files = 10000;
    int rows = 40;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--files") == 0)
            files = std::max(1, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--rows") == 0)
            rows = std::max(1, std::atoi(argv[i + 1]));
    }
    if (FAILED(OleInitialize(nullptr)))
        return 1;
    TShellLayer::Startup();
    const int result = Run(files, rows);
    TShellLayer::Shutdown();
    OleUninitialize();
    return result;
}

#else

#include <cstdio>

int main() {
    std::printf("bench_explorer measures the shell under Windows or Wine: run it with bench/run-wine.sh\n");
    return 0;
}

#endif
