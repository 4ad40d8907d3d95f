// Helpers of the tree tests: a recording window port with a fake GUI thread for the worker's hand-off, an
// event recorder that logs compact lines, the invariant checker, and node names for logs.
#pragma once

#include "tree/TreeControlPort.h"
#include "tree/VirtualTrees.h"

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace tarvola::test {

// The GUI thread's queue of sent messages, shared by every fake host as a thread's queue is by its windows:
// the worker's SendStateMessage waits in it until the GUI thread handles the message.
class FakeGuiThread {
public:
    static FakeGuiThread& Instance();
    void Send(TBaseVirtualTree* tree, std::uint32_t enter, std::uint32_t leave);
    // GUI thread: handles every message waiting now; true when there was one.
    bool HandleSent();
    // GUI thread: handles sent messages until busy() turns false.
    void WaitWhile(const std::function<bool()>& busy);

private:
    struct Request {
        TBaseVirtualTree* tree;
        std::uint32_t enter, leave;
        bool done = false;
    };
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Request*> requests_;
};

class RecordingHost : public ITreeViewHost {
public:
    bool window = false;
    int clientWidth = 200;
    int clientHeight = 400;
    TBaseVirtualTree* tree = nullptr; // receives the state messages
    std::vector<std::string> log;
    std::map<unsigned, unsigned> runningTimers;
    bool redraw = true;

    bool HasWindow() const override { return window; }
    int ClientWidth() const override { return window ? clientWidth : 0; }
    int ClientHeight() const override { return window ? clientHeight : 0; }
    TCanvas* Canvas() override { return nullptr; }
    void InvalidateRows(int top, int bottom) override;
    void InvalidateAll() override { log.push_back("InvalidateAll"); }
    void UpdateScrollBars(bool) override {}
    void SetRedraw(bool enabled) override;
    void StartTimer(unsigned id, unsigned milliseconds) override { runningTimers[id] = milliseconds; }
    void StopTimer(unsigned id) override { runningTimers.erase(id); }
    void SendStateMessage(std::uint32_t enter, std::uint32_t leave) override;
    void WaitForWorker(const std::function<bool()>& busy) override;
    // Fires a running timer as the window would.
    bool FireTimer(unsigned id);
};

// A control port that logs what the settings ask of the window ("Recreate", "RegisterDrop", ...) and the
// slide steps of toggles ("Slide down 0 3", "Slide up 0 0").
class RecordingControlPort : public ITreeControlPort {
public:
    std::vector<std::string> log;
    std::vector<TToggleSlide> slides; // each slide's first step
    bool visualStyles = false;
    bool backgroundPicture = false;
    void RecreateWindow() override { log.push_back("Recreate"); }
    void RegisterDropTarget() override { log.push_back("RegisterDrop"); }
    void RevokeDropTarget() override { log.push_back("RevokeDrop"); }
    bool VisualStylesEnabled() const override { return visualStyles; }
    bool HasBackgroundPicture() const override { return backgroundPicture; }
    void CheckImagesChanged() override { log.push_back("CheckImages"); }
    void RedrawFrame() override { log.push_back("RedrawFrame"); }
    void RebuildButtonImages() override { log.push_back("Buttons"); }
    void RebuildLineImages() override { log.push_back("Lines"); }
    void UpdateWindow() override { log.push_back("Update"); }
    void SlideStep(const TToggleSlide& slide, std::uint32_t step, std::uint32_t stepSize) override;
};

// A tree with a (fake) window, so that the worker builds its cache.
struct WindowedTree {
    RecordingHost host;
    TBaseVirtualTree tree{&host};
    WindowedTree() {
        host.tree = &tree;
        host.window = true;
    }
    // Lets the worker finish with this tree, handling its messages as the GUI thread.
    void SettleCache() {
        tree.ValidateCache();
        FakeGuiThread::Instance().WaitWhile([this] { return tree.ValidationPending(); });
    }
};

// Names nodes n0, n1, ... in the order they are first seen, for readable logs.
class NodeNames {
public:
    std::string operator()(PVirtualNode node);
    void Forget(PVirtualNode node) { names_.erase(node); }
    void Set(PVirtualNode node, const std::string& name) { names_[node] = name; }

private:
    std::map<PVirtualNode, std::string> names_;
    int next_ = 0;
};

// Binds the tree's events and logs them as "Init n3", "Struct n1 crChildAdded", "Updating usBegin", ...
class EventRecorder {
public:
    explicit EventRecorder(TBaseVirtualTree& tree, NodeNames* names = nullptr);
    // Unbinds the events: the tree may outlive the recorder.
    ~EventRecorder();
    EventRecorder(const EventRecorder&) = delete;
    EventRecorder& operator=(const EventRecorder&) = delete;
    std::vector<std::string> log;
    std::vector<std::string> Take();
    std::string Name(PVirtualNode node);
    // Children OnInitChildren gives a node named by the key; unknown nodes keep their count.
    std::map<std::string, std::uint32_t> childCounts;
    // Initial states OnInitNode gives a named node.
    std::map<std::string, TVirtualNodeInitStates> initStates;
    bool logStates = false;

private:
    void Init(TBaseVirtualTree&, PVirtualNode parent, PVirtualNode node, TVirtualNodeInitStates& states);
    void InitChildren(TBaseVirtualTree&, PVirtualNode node, std::uint32_t& count);
    void Free(TBaseVirtualTree&, PVirtualNode node);
    void Changed(TBaseVirtualTree&, PVirtualNode node);
    void Structure(TBaseVirtualTree&, PVirtualNode node, TChangeReason reason);
    void Updating(TBaseVirtualTree&, TVTUpdateState state);
    void States(TBaseVirtualTree&, TVirtualTreeStates enter, TVirtualTreeStates leave);
    void Moved(TBaseVirtualTree&, PVirtualNode node);

    TBaseVirtualTree& tree_;
    NodeNames ownNames_;
    NodeNames* names_;
};

// Checks every structural invariant of a tree; gives the broken ones as text (empty when all hold).
class TreeInvariantChecker {
public:
    static std::string Check(const TBaseVirtualTree& tree);

private:
    static void CheckNode(const TBaseVirtualTree& tree, PVirtualNode node, std::string& errors);
};

} // namespace tarvola::test
