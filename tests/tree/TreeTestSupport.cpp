#include "tests/tree/TreeTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>

namespace tarvola::test {

FakeGuiThread& FakeGuiThread::Instance() {
    static FakeGuiThread instance;
    return instance;
}

void FakeGuiThread::Send(TBaseVirtualTree* tree, std::uint32_t enter, std::uint32_t leave) {
    Request request{tree, enter, leave};
    std::unique_lock lock(mutex_);
    requests_.push_back(&request);
    changed_.notify_all();
    changed_.wait(lock, [&] { return request.done; });
}

bool FakeGuiThread::HandleSent() {
    bool any = false;
    for (;;) {
        Request* request;
        {
            std::lock_guard lock(mutex_);
            if (requests_.empty())
                return any;
            request = requests_.front();
            requests_.pop_front();
        }
        request->tree->HandleStateMessage(request->enter, request->leave);
        any = true;
        {
            std::lock_guard lock(mutex_);
            request->done = true;
        }
        changed_.notify_all();
    }
}

void FakeGuiThread::WaitWhile(const std::function<bool()>& busy) {
    while (busy()) {
        if (HandleSent())
            continue;
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, std::chrono::milliseconds(1), [this] { return !requests_.empty(); });
    }
}

void RecordingHost::InvalidateRows(int top, int bottom) {
    log.push_back("InvalidateRows " + std::to_string(top) + " " + std::to_string(bottom));
}

void RecordingControlPort::SlideStep(const TToggleSlide& slide, std::uint32_t step, std::uint32_t stepSize) {
    if (step == 0 && stepSize > 0)
        slides.push_back(slide);
    log.push_back(std::string("Slide ") + (slide.Expanding ? "down " : "up ") + std::to_string(step) + " " +
                  std::to_string(stepSize));
}

void RecordingHost::SetRedraw(bool enabled) {
    redraw = enabled;
    log.push_back(enabled ? "Redraw on" : "Redraw off");
}

void RecordingHost::SendStateMessage(std::uint32_t enter, std::uint32_t leave) {
    // A message queued for no tree would be handled by whichever test pumps the queue next, and crash it.
    if (tree == nullptr) {
        ADD_FAILURE() << "a host with a window sends the worker's state message without a tree";
        return;
    }
    FakeGuiThread::Instance().Send(tree, enter, leave);
}

void RecordingHost::WaitForWorker(const std::function<bool()>& busy) {
    FakeGuiThread::Instance().WaitWhile(busy);
}

bool RecordingHost::FireTimer(unsigned id) {
    if (runningTimers.count(id) == 0 || tree == nullptr)
        return false;
    tree->HandleChangeTimer(id);
    return true;
}

std::string NodeNames::operator()(PVirtualNode node) {
    if (node == nullptr)
        return "nil";
    auto found = names_.find(node);
    if (found != names_.end())
        return found->second;
    // Appended rather than concatenated: GCC 12 warns falsely (-Wrestrict) on i686 otherwise.
    std::string name = "n";
    name += std::to_string(next_++);
    return names_[node] = name;
}

EventRecorder::EventRecorder(TBaseVirtualTree& tree, NodeNames* names)
    : tree_(tree), names_(names != nullptr ? names : &ownNames_) {
    tree.OnInitNode = TVTInitNodeEvent::Bind<&EventRecorder::Init>(this);
    tree.OnInitChildren = TVTInitChildrenEvent::Bind<&EventRecorder::InitChildren>(this);
    tree.OnFreeNode = TVTNodeEvent::Bind<&EventRecorder::Free>(this);
    tree.OnChange = TVTNodeEvent::Bind<&EventRecorder::Changed>(this);
    tree.OnStructureChange = TVTStructureChangeEvent::Bind<&EventRecorder::Structure>(this);
    tree.OnUpdating = TVTUpdatingEvent::Bind<&EventRecorder::Updating>(this);
    tree.OnStateChange = TVTStateChangeEvent::Bind<&EventRecorder::States>(this);
    tree.OnNodeMoved = TVTNodeEvent::Bind<&EventRecorder::Moved>(this);
}

EventRecorder::~EventRecorder() {
    tree_.OnInitNode.Reset();
    tree_.OnInitChildren.Reset();
    tree_.OnFreeNode.Reset();
    tree_.OnChange.Reset();
    tree_.OnStructureChange.Reset();
    tree_.OnUpdating.Reset();
    tree_.OnStateChange.Reset();
    tree_.OnNodeMoved.Reset();
}

std::vector<std::string> EventRecorder::Take() {
    std::vector<std::string> taken;
    taken.swap(log);
    return taken;
}

std::string EventRecorder::Name(PVirtualNode node) {
    return (*names_)(node);
}

void EventRecorder::Init(TBaseVirtualTree&, PVirtualNode, PVirtualNode node, TVirtualNodeInitStates& states) {
    const std::string name = Name(node);
    log.push_back("Init " + name);
    auto found = initStates.find(name);
    if (found != initStates.end())
        states = found->second;
}

void EventRecorder::InitChildren(TBaseVirtualTree&, PVirtualNode node, std::uint32_t& count) {
    const std::string name = Name(node);
    log.push_back("InitChildren " + name);
    auto found = childCounts.find(name);
    if (found != childCounts.end())
        count = found->second;
}

void EventRecorder::Free(TBaseVirtualTree&, PVirtualNode node) {
    log.push_back("Free " + Name(node));
    names_->Forget(node);
}

void EventRecorder::Changed(TBaseVirtualTree&, PVirtualNode node) {
    log.push_back("Change " + Name(node));
}

void EventRecorder::Structure(TBaseVirtualTree&, PVirtualNode node, TChangeReason reason) {
    log.push_back("Struct " + Name(node) + " " + ChangeReasonName(reason));
}

void EventRecorder::Updating(TBaseVirtualTree&, TVTUpdateState state) {
    static const char* names[] = {"usBegin", "?", "?", "usUpdate", "usEnd"};
    log.push_back(std::string("Updating ") + names[static_cast<int>(state)]);
}

void EventRecorder::States(TBaseVirtualTree&, TVirtualTreeStates enter, TVirtualTreeStates leave) {
    if (logStates)
        log.push_back("States +" + std::to_string(enter.Bits()) + " -" + std::to_string(leave.Bits()));
}

void EventRecorder::Moved(TBaseVirtualTree&, PVirtualNode node) {
    log.push_back("Moved " + Name(node));
}

std::string TreeInvariantChecker::Check(const TBaseVirtualTree& tree) {
    std::string errors;
    CheckNode(tree, tree.root_, errors);
    std::uint32_t fullyVisible = 0, selected = 0;
    for (PVirtualNode node = tree.GetFirstNoInit(); node != nullptr; node = tree.GetNextNoInit(node)) {
        if (tree.FullyVisible(node))
            ++fullyVisible;
        if (node->States & nsSelected)
            ++selected;
    }
    if (fullyVisible != tree.visibleCount_)
        errors += "visible count " + std::to_string(tree.visibleCount_) + " but " +
                  std::to_string(fullyVisible) + " rows; ";
    const std::vector<PVirtualNode> live = tree.selection_.Nodes();
    for (std::size_t i = 1; i < live.size(); ++i)
        if (!TSelectionArray::AddressLess(live[i - 1], live[i]))
            errors += "selection array not strictly sorted; ";
    for (PVirtualNode node : live)
        if ((node->States & nsSelected) == 0)
            errors += "unselected node in the selection array; ";
    if (tree.updateCount_ == 0 && live.size() != selected)
        errors += "selection array holds " + std::to_string(live.size()) + " nodes but " +
                  std::to_string(selected) + " selected; ";
    if (selected != tree.selectionCount_)
        errors += "selection count " + std::to_string(tree.selectionCount_) + " but " +
                  std::to_string(selected) + " selected; ";
    return errors;
}

void TreeInvariantChecker::CheckNode(const TBaseVirtualTree& tree, PVirtualNode node, std::string& errors) {
    const std::string at = " at index " + std::to_string(node->Index) + " level " +
                           std::to_string(TBaseVirtualTree::GetNodeLevel(node)) + "; ";
    std::uint32_t index = 0;
    std::uint64_t count = 1;
    std::uint64_t height = node->NodeHeight;
    bool anyVisible = false;
    PVirtualNode previous = nullptr;
    for (PVirtualNode child = node->FirstChild; child != nullptr; child = child->NextSibling) {
        if (child->Index != index)
            errors += "index " + std::to_string(child->Index) + " should be " + std::to_string(index) + at;
        if (child->Parent != node)
            errors += "parent link" + at;
        if (child->PrevSibling != previous)
            errors += "previous link" + at;
        CheckNode(tree, child, errors);
        count += child->TotalCount;
        if (child->States & nsVisible) {
            anyVisible = true;
            if (node->States & nsExpanded)
                height += child->TotalHeight;
        }
        previous = child;
        ++index;
    }
    if (node->LastChild != previous)
        errors += "last child link" + at;
    if (index != node->ChildCount && !(index == 0 && node->FirstChild == nullptr && node->ChildCount == 0))
        errors += "child count " + std::to_string(node->ChildCount) + " but " + std::to_string(index) +
                  " linked" + at;
    if (count != node->TotalCount)
        errors +=
            "total count " + std::to_string(node->TotalCount) + " should be " + std::to_string(count) + at;
    if (height != node->TotalHeight)
        errors +=
            "total height " + std::to_string(node->TotalHeight) + " should be " + std::to_string(height) + at;
    if (node != tree.root_ && (node->States & nsHasChildren)) {
        const bool allHidden = node->FirstChild != nullptr && !anyVisible;
        if (allHidden != ((node->States & nsAllChildrenHidden) != 0))
            errors += "all-children-hidden flag" + at;
    }
}

} // namespace tarvola::test
