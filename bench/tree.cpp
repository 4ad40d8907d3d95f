// Tree control speed on its worst case, a flat list: building 1,000,000 top-level nodes, then position
// lookups and a walk from top to bottom by pages, with the position cache against the same lookups without
// it (a walk from the first row) in the same run. On Windows also the tree's window beside the system's
// owner-data list view (report style) with as many rows, in windows of one size: painting one screen, and
// scrolling page by page from the top to the bottom, each painted as it goes.
// Usage: bench_tree [--nodes N] [--lookups N] [--repaints N] [--window-only 1]
#include "tree/VirtualTrees.h"

#ifdef _WIN32
#include "forms/Application.h"
#include "forms/Form.h"
#include "tree/StringTree.h"
#include "tree/StringTreeGdiCanvas.h"
#include "tree/TreeControl.h"

#include <windows.h>

#include <commctrl.h>
#endif

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

using namespace tarvola;

namespace {

double Seconds(const std::chrono::steady_clock::time_point& start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A window port whose "GUI thread" is the benchmark's main thread: the worker's state messages wait in a
// queue until the main thread handles them.
class BenchHost : public NullTreeViewHost {
public:
    TBaseVirtualTree* tree = nullptr;
    bool HasWindow() const override { return true; }
    int ClientHeight() const override { return 400; }
    void SendStateMessage(std::uint32_t enter, std::uint32_t leave) override {
        std::unique_lock lock(mutex_);
        bool done = false;
        requests_.push_back({enter, leave, &done});
        changed_.notify_all();
        changed_.wait(lock, [&] { return done; });
    }
    void WaitForWorker(const std::function<bool()>& busy) override {
        while (busy())
            HandleSent(std::chrono::milliseconds(1));
    }
    void HandleSent(std::chrono::milliseconds wait) {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, wait, [this] { return !requests_.empty(); });
        while (!requests_.empty()) {
            Request request = requests_.front();
            requests_.pop_front();
            tree->HandleStateMessage(request.enter, request.leave);
            *request.done = true;
        }
        changed_.notify_all();
    }

private:
    struct Request {
        std::uint32_t enter, leave;
        bool* done;
    };
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Request> requests_;
};

std::string LoadAverage() {
    std::ifstream file("/proc/loadavg");
    std::string one, five, fifteen;
    file >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

#ifdef _WIN32

constexpr int ScreenWidth = 400;
constexpr int ScreenHeight = 600;

// The row texts both windows show.
std::wstring RowText(std::uint32_t index) {
    return L"Row " + std::to_wstring(index);
}

void PumpPending() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// A string tree naming its rows, measuring with a memory device context.
class BenchStringTree : public TVirtualStringTree {
public:
    explicit BenchStringTree(ITreeViewHost* host)
        : TVirtualStringTree(host), measure_(CreateCompatibleDC(nullptr)) {
        canvas_ = std::make_unique<TGdiStringTreeCanvas>(measure_);
        SetTextCanvas(canvas_.get());
    }
    ~BenchStringTree() override {
        SetTextCanvas(nullptr);
        canvas_.reset();
        DeleteDC(measure_);
    }

protected:
    void DoGetText(PVirtualNode node, TColumnIndex, TVSTTextType, std::wstring& text) override {
        text = RowText(node->Index);
    }

private:
    HDC measure_;
    std::unique_ptr<TGdiStringTreeCanvas> canvas_;
};

// The list view's parent answers the rows' texts.
LRESULT CALLBACK ListParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY) {
        LRESULT result = 0;
        GuardCallback([&] {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            if (header->code != LVN_GETDISPINFOW)
                return;
            auto* item = reinterpret_cast<NMLVDISPINFOW*>(lParam);
            if ((item->item.mask & LVIF_TEXT) != 0 && item->item.cchTextMax > 0) {
                const std::wstring text = RowText(static_cast<std::uint32_t>(item->item.iItem));
                const std::size_t count =
                    std::min(text.size(), static_cast<std::size_t>(item->item.cchTextMax - 1));
                text.copy(item->item.pszText, count);
                item->item.pszText[count] = L'\0';
            }
        });
        return result;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A shown top-level window holding an owner-data list view in report style with one column.
struct OwnerDataList {
    HWND parent = nullptr;
    HWND list = nullptr;
    explicit OwnerDataList(std::uint32_t rows) {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &ListParentProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"TarvolaBenchListParent";
        RegisterClassW(&windowClass);
        parent = CreateWindowExW(0, windowClass.lpszClassName, L"list", WS_POPUP | WS_VISIBLE, 500, 0,
                                 ScreenWidth + 40, ScreenHeight + 40, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
        list =
            CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                            WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDATA | LVS_NOCOLUMNHEADER, 0, 0,
                            ScreenWidth, ScreenHeight, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
        LVCOLUMNW column{};
        column.mask = LVCF_WIDTH;
        column.cx = ScreenWidth - 40;
        SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
        SendMessageW(list, LVM_SETITEMCOUNT, rows, LVSICF_NOINVALIDATEALL);
    }
    ~OwnerDataList() { DestroyWindow(parent); }
};

double PaintScreens(HWND window, int repaints) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < repaints; ++i) {
        InvalidateRect(window, nullptr, FALSE);
        UpdateWindow(window);
    }
    GdiFlush();
    return Seconds(start) / repaints;
}

// Scrolls by pages from the top to the bottom, painting each page; the number of pages.
int ScrollThrough(HWND window, double& seconds) {
    SendMessageW(window, WM_VSCROLL, SB_TOP, 0);
    UpdateWindow(window);
    PumpPending();
    int pages = 0;
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        const int before = GetScrollPos(window, SB_VERT);
        SendMessageW(window, WM_VSCROLL, SB_PAGEDOWN, 0);
        UpdateWindow(window);
        if (GetScrollPos(window, SB_VERT) == before)
            break;
        ++pages;
    }
    GdiFlush();
    seconds = Seconds(start);
    return pages;
}

int RowsInView(HWND list) {
    return static_cast<int>(SendMessageW(list, LVM_GETCOUNTPERPAGE, 0, 0));
}

int WindowBench(std::uint32_t nodes, int repaints) {
    Application().Initialize();
    TForm form{nullptr};
    form.SetBounds(0, 0, ScreenWidth + 40, ScreenHeight + 40);
    auto& control = form.Create<TVirtualTreeControl>(
        [](ITreeViewHost* host) { return std::make_unique<BenchStringTree>(host); });
    control.SetParent(&form);
    control.SetBounds(0, 0, ScreenWidth, ScreenHeight);
    form.Show();
    TBaseVirtualTree& tree = control.Tree();
    tree.SetRootNodeCount(nodes);
    tree.ValidateCache();
    const auto settle = std::chrono::steady_clock::now();
    while (!tree.InState(TreeState::tsUseCache) && Seconds(settle) < 60) {
        PumpPending();
        Sleep(1);
    }
    OwnerDataList list(nodes);
    PumpPending();
    const HWND treeWindow = control.Handle();
    std::printf("windows: client %dx%d, tree rows of %u px (%d per page), list %d rows per page, "
                "position cache %s\n",
                control.ClientWidth(), control.ClientHeight(), tree.DefaultNodeHeight(),
                control.ClientHeight() / static_cast<int>(tree.DefaultNodeHeight()), RowsInView(list.list),
                tree.InState(TreeState::tsUseCache) ? "ready" : "NOT READY");

    // Each side twice, alternating, so that neither profits from running second; the second round counts.
    double treeScreen = 0, listScreen = 0;
    for (int round = 0; round < 2; ++round) {
        treeScreen = PaintScreens(treeWindow, repaints);
        listScreen = PaintScreens(list.list, repaints);
    }
    std::printf("one screen, %d repaints: tree %.3f ms, list view %.3f ms, tree/list %.2f\n", repaints,
                treeScreen * 1e3, listScreen * 1e3, treeScreen / listScreen);

    double treeScroll = 0, listScroll = 0;
    const int treePages = ScrollThrough(treeWindow, treeScroll);
    const int listPages = ScrollThrough(list.list, listScroll);
    std::printf("page by page through %u rows: tree %d pages in %.2f s (%.3f ms each), list view %d pages in "
                "%.2f s (%.3f ms each); whole walk tree/list %.2f, per page %.2f\n",
                nodes, treePages, treeScroll, treeScroll * 1e3 / std::max(treePages, 1), listPages,
                listScroll, listScroll * 1e3 / std::max(listPages, 1), treeScroll / listScroll,
                (treeScroll / std::max(treePages, 1)) / (listScroll / std::max(listPages, 1)));
    return 0;
}

#endif

} // namespace

int main(int argc, char** argv) {
    std::uint32_t nodes = 1000000;
    int lookups = 10000;
    int repaints = 200;
    bool windowOnly = false;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--nodes") == 0)
            nodes = static_cast<std::uint32_t>(std::atol(argv[i + 1]));
        else if (std::strcmp(argv[i], "--lookups") == 0)
            lookups = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--repaints") == 0)
            repaints = std::max(1, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--window-only") == 0)
            windowOnly = std::atoi(argv[i + 1]) != 0;
    }
#ifdef _WIN32
    if (windowOnly)
        return WindowBench(nodes, repaints);
#else
    (void)repaints;
    (void)windowOnly;
#endif
    std::printf("tree: %u top-level nodes, %d lookups, %u cores, load average %s\n", nodes, lookups,
                std::thread::hardware_concurrency(), LoadAverage().c_str());

    BenchHost host;
    TBaseVirtualTree tree(&host);
    host.tree = &tree;

    auto start = std::chrono::steady_clock::now();
    tree.SetRootNodeCount(nodes);
    const double build = Seconds(start);
    std::printf("build by RootNodeCount: %.3f s (%.1f ns per node)\n", build, build * 1e9 / nodes);

    TBaseVirtualTree added;
    start = std::chrono::steady_clock::now();
    added.BeginUpdate();
    for (std::uint32_t i = 0; i < nodes; ++i)
        added.AddChild(nullptr);
    added.EndUpdate();
    const double addBuild = Seconds(start);
    std::printf("build by AddChild in one update: %.3f s (%.1f ns per node)\n", addBuild,
                addBuild * 1e9 / nodes);

    start = std::chrono::steady_clock::now();
    tree.ValidateCache();
    while (!tree.InState(TreeState::tsUseCache))
        host.HandleSent(std::chrono::milliseconds(1));
    std::printf("cache build on the worker: %.3f s, %zu entries\n", Seconds(start),
                tree.PositionCache().size());

    std::mt19937 random(3);
    const std::uint32_t range = tree.RangeHeight();
    std::vector<int> positions(static_cast<std::size_t>(lookups));
    for (int& y : positions)
        y = static_cast<int>(random() % range);
    const int page = host.ClientHeight();

    auto timeLookups = [&](const std::vector<int>& ys) {
        std::uintptr_t checksum = 0;
        const auto begin = std::chrono::steady_clock::now();
        for (int y : ys) {
            int top = 0;
            checksum += reinterpret_cast<std::uintptr_t>(tree.GetNodeAt(0, y, false, top)) + top;
        }
        return std::make_pair(Seconds(begin), checksum);
    };
    std::vector<int> pages;
    for (std::uint32_t y = 0; y < range; y += page)
        pages.push_back(static_cast<int>(y));
    // The walk without the cache takes every 20th page only: each of its lookups walks from the first row.
    std::vector<int> somePages;
    for (std::size_t i = 0; i < pages.size(); i += 20)
        somePages.push_back(pages[i]);

    const auto [cachedRandom, sumCached] = timeLookups(positions);
    const auto [cachedPages, sumCachedPages] = timeLookups(pages);
    const auto [cachedSomePages, sumCachedSome] = timeLookups(somePages);
    tree.InvalidateCache(); // lookups now walk from the first row
    const auto [plainRandom, sumPlain] = timeLookups(positions);
    const auto [plainSomePages, sumPlainSome] = timeLookups(somePages);
    if (sumCached != sumPlain || sumCachedSome != sumPlainSome) {
        std::printf("MISMATCH between the lookups with and without the cache\n");
        return 1;
    }
    (void)sumCachedPages;

    const double perCached = cachedRandom / lookups, perPlain = plainRandom / lookups;
    std::printf("random lookups: with the cache %.3f ms (%.2f us each), without %.3f s (%.1f us each), "
                "ratio %.0fx\n",
                cachedRandom * 1e3, perCached * 1e6, plainRandom, perPlain * 1e6, perPlain / perCached);
    const double perPageCached = cachedSomePages / somePages.size();
    const double perPagePlain = plainSomePages / somePages.size();
    std::printf(
        "walk by %d-pixel pages: with the cache %zu pages in %.3f ms; every 20th page (%zu): with the "
        "cache %.2f us each, without %.1f us each, ratio %.0fx\n",
        page, pages.size(), cachedPages * 1e3, somePages.size(), perPageCached * 1e6, perPagePlain * 1e6,
        perPagePlain / perPageCached);
#ifdef _WIN32
    return WindowBench(nodes, repaints);
#else
    return 0;
#endif
}
