// Tree control speed on its worst case, a flat list: building 1,000,000 top-level nodes, then position
// lookups and a walk from top to bottom by pages, with the position cache against the same lookups without
// it (a walk from the first row) in the same run.
// Usage: bench_tree [--nodes N] [--lookups N]
#include "tree/VirtualTrees.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
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

} // namespace

int main(int argc, char** argv) {
    std::uint32_t nodes = 1000000;
    int lookups = 10000;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--nodes") == 0)
            nodes = static_cast<std::uint32_t>(std::atol(argv[i + 1]));
        else if (std::strcmp(argv[i], "--lookups") == 0)
            lookups = std::atoi(argv[i + 1]);
    }
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
    return 0;
}
