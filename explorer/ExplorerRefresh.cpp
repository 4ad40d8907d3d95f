#include "explorer/ExplorerRefresh.h"

#include "explorer/ExplorerStateShell.h"

#include <map>

namespace tarvola {

namespace {

int Sign(int value) {
    return value < 0 ? -1 : (value > 0 ? 1 : 0);
}

// Names without regard to case, then by their code points, so that only the same name is equal.
int CompareNames(const WideString& a, const WideString& b) {
    if (const int order = PlatformText().CompareText(a, b))
        return Sign(order);
    return Sign(a.compare(b));
}

// The folder's order, with names where the shell cannot tell; remembers whether that happened.
class TChildOrder {
public:
    explicit TChildOrder(IRefreshFolder& folder) : folder_(folder) {}

    int operator()(const TRefreshItem& a, const TRefreshItem& b) {
        if (const std::optional<int> order = folder_.CompareIDs(a.RelativePIDL, b.RelativePIDL))
            return Sign(*order);
        failed = true;
        return CompareNames(a.Name, b.Name);
    }

    bool failed = false;

private:
    IRefreshFolder& folder_;
};

struct TStep {
    bool add = false;
    // The fresh item to add, or the old child to delete.
    const TRefreshItem* item = nullptr;
    TExplorerNodeRef node = nullptr;
    // For an add: the existing node it goes in front of.
    TExplorerNodeRef before = nullptr;
    bool dropped = false;
};

std::vector<TStep> Plan(std::vector<TRefreshChild>& old, std::vector<TRefreshItem>& fresh, TChildOrder& order,
                        int& kept) {
    StableSortWithin(
        old, [&](const TRefreshChild& a, const TRefreshChild& b) { return order(a.Item, b.Item) < 0; });
    StableSortWithin(fresh, [&](const TRefreshItem& a, const TRefreshItem& b) { return order(a, b) < 0; });
    std::vector<TStep> steps;
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < old.size() && j < fresh.size()) {
        const int c = order(fresh[j], old[i].Item);
        if (c == 0) {
            ++kept;
            ++i;
            ++j;
        } else if (c < 0) {
            steps.push_back({true, &fresh[j++], nullptr, old[i].Node});
        } else {
            steps.push_back({false, &old[i].Item, old[i].Node, nullptr});
            ++i;
        }
    }
    for (; j < fresh.size(); ++j)
        steps.push_back({true, &fresh[j], nullptr, nullptr});
    for (; i < old.size(); ++i)
        steps.push_back({false, &old[i].Item, old[i].Node, nullptr});
    return steps;
}

// Where names stood in for the shell, a child planned for deletion whose name is also planned as a new
// item is the same item seen out of order: it keeps its node.
void KeepNamesStillListed(std::vector<TStep>& steps, int& kept) {
    std::multimap<WideString, TStep*> added;
    for (TStep& step : steps)
        if (step.add)
            added.emplace(step.item->Name, &step);
    for (TStep& step : steps) {
        if (step.add)
            continue;
        const auto match = added.find(step.item->Name);
        if (match == added.end())
            continue;
        match->second->dropped = true;
        step.dropped = true;
        added.erase(match);
        ++kept;
    }
}

} // namespace

TRefreshResult MergeChildren(IRefreshFolder& folder, std::vector<TRefreshItem> fresh) {
    TRefreshResult result;
    std::vector<TRefreshChild> old = folder.Children();
    TChildOrder order(folder);
    std::vector<TStep> steps = Plan(old, fresh, order, result.Kept);
    result.ShellOrderFailed = order.failed;
    if (order.failed)
        KeepNamesStillListed(steps, result.Kept);
    for (const TStep& step : steps) {
        if (step.dropped)
            continue;
        if (step.add) {
            if (folder.AddChild(*step.item, step.before))
                ++result.Added;
            continue;
        }
        if (folder.FocusedChild() == step.node)
            folder.FocusChild(folder.NextSibling(step.node));
        folder.DeleteChild(step.node);
        ++result.Removed;
    }
    return result;
}

TEnumerationOutcome EnumerationOutcome(std::int32_t hr, bool hasEnumerator) {
    if (hr < 0)
        return TEnumerationOutcome::Failed;
    if (hr == 1 || !hasEnumerator) // S_FALSE: nothing to enumerate, and no enumerator need come with it
        return TEnumerationOutcome::Empty;
    return TEnumerationOutcome::Items;
}

} // namespace tarvola
