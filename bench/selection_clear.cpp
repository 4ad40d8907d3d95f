// Clearing a large selection in a tree with a window: every selected row is repainted. The reference,
// measured in the same run on the same tree, is one repaint request per selected node with each node's row
// looked up on its own (from the nearest cached position, or the first row without a cache). A flat list of
// N rows, all selected, with and without the position cache.
// Usage: bench_selection_clear [--nodes N] [--rounds N]
#include "tree/VirtualTrees.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <mutex>
#include <vector>

using namespace tarvola;

namespace {

double Seconds(const std::chrono::steady_clock::time_point& start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A window that paints nothing; the worker's state messages wait until the main thread handles them, as
// sent messages wait for the GUI thread.
class BenchHost : public ITreeViewHost {
public:
    TBaseVirtualTree* tree = nullptr;
    bool HasWindow() const override { return true; }
    int ClientWidth() const override { return 800; }
    int ClientHeight() const override { return 600; }
    TCanvas* Canvas() override { return nullptr; }
    void InvalidateRows(int, int) override { ++invalidated; }
    void InvalidateAll() override { ++invalidated; }
    void UpdateScrollBars(bool) override {}
    void SetRedraw(bool) override {}
    void StartTimer(unsigned, unsigned) override {}
    void StopTimer(unsigned) override {}
    void SendStateMessage(std::uint32_t enter, std::uint32_t leave) override {
        std::unique_lock lock(mutex_);
        pending_ = {true, enter, leave};
        changed_.notify_all();
        changed_.wait(lock, [this] { return !pending_.waiting; });
    }
    void WaitForWorker(const std::function<bool()>& busy) override {
        while (busy())
            HandleSent();
    }
    void HandleSent() {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, std::chrono::milliseconds(1), [this] { return pending_.waiting; });
        if (!pending_.waiting)
            return;
        tree->HandleStateMessage(pending_.enter, pending_.leave);
        pending_.waiting = false;
        changed_.notify_all();
    }
    unsigned long invalidated = 0;

private:
    struct Pending {
        bool waiting = false;
        std::uint32_t enter = 0, leave = 0;
    } pending_;
    std::mutex mutex_;
    std::condition_variable changed_;
};

struct Figures {
    double reference = 0;
    double clear = 0;
};

Figures Measure(std::uint32_t nodes, bool cache) {
    BenchHost host;
    TBaseVirtualTree tree(&host);
    host.tree = &tree;
    tree.Options.MultiSelect = true;
    tree.BeginUpdate();
    tree.SetRootNodeCount(nodes);
    tree.EndUpdate();
    host.WaitForWorker([&] { return tree.ValidationPending(); });
    if (!cache)
        tree.InvalidateCache();
    Figures figures;
    tree.SelectAll(false);
    std::vector<PVirtualNode> selected;
    for (PVirtualNode node = tree.GetFirst(); node != nullptr; node = tree.GetNext(node))
        selected.push_back(node);
    auto start = std::chrono::steady_clock::now();
    for (PVirtualNode node : selected)
        tree.InvalidateNode(node);
    figures.reference = Seconds(start);
    start = std::chrono::steady_clock::now();
    tree.ClearSelection();
    figures.clear = Seconds(start);
    if (tree.SelectedCount() != 0)
        std::printf("  (the selection was not cleared)\n");
    return figures;
}

} // namespace

int main(int argc, char** argv) {
    std::uint32_t nodes = 20000;
    int rounds = 3;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--nodes") == 0)
            nodes = static_cast<std::uint32_t>(std::strtoul(argv[i + 1], nullptr, 10));
        else if (std::strcmp(argv[i], "--rounds") == 0)
            rounds = std::atoi(argv[i + 1]);
    }
    for (const std::uint32_t count : {nodes / 10, nodes})
        for (const bool cache : {false, true})
            for (int round = 0; round < rounds; ++round) {
                const Figures f = Measure(count, cache);
                std::printf("%6u rows, %s: clear %.2f ms, reference (row by row) %.2f ms, ratio %.1fx\n",
                            count, cache ? "cache   " : "no cache", f.clear * 1e3, f.reference * 1e3,
                            f.reference / f.clear);
            }
    return 0;
}
