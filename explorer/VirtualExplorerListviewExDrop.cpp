// Drags over the native list: the item under the pointer (or, over the background, the folder shown) is the
// drop's target, and its shell item answers and takes the drop through the tree's shell port, as in the
// tree. The target is painted as such while it accepts. A drag that started from an item never drops onto
// that item.
#include "explorer/VirtualExplorerListviewEx.h"

#include "tree/TreeGuards.h"
#include "tree/TreeProperties.h"

#include <algorithm>

namespace tarvola {

namespace {

constexpr std::int32_t kOk = 0;

} // namespace

TListScrollStep ListAutoScrollStep(int clientWidth, int clientHeight, int x, int y) {
    // Twice the depth into the margin, towards the edge (a negative step scrolls up or left).
    const auto step = [](int position, int extent) {
        if (extent <= 0)
            return 0;
        if (position < kListAutoScrollMargin)
            return -2 * (kListAutoScrollMargin - std::max(position, 0));
        if (position >= extent - kListAutoScrollMargin)
            return 2 * (kListAutoScrollMargin - std::max(extent - 1 - position, 0));
        return 0;
    };
    if (x < 0 || y < 0 || x >= clientWidth || y >= clientHeight)
        return {};
    return {step(x, clientWidth), step(y, clientHeight)};
}

bool TCustomVirtualExplorerListviewEx::AcceptsListDrops() const {
    return ShellPort() != nullptr && !MiscOptions.Has(TVETMiscOption::toVETReadOnly) &&
           TreeOptions().MiscOptions().Has(TVTMiscOption::toAcceptOLEDrop);
}

IExplorerItem* TCustomVirtualExplorerListviewEx::ListDropItem(int target) {
    if (target == kListBackgroundTarget)
        return RootItem();
    return target >= 0 ? NodeItem(GetNodeByIndex(target)) : nullptr;
}

int TCustomVirtualExplorerListviewEx::ListDropHighlight() const {
    return listDrop_.Target >= 0 && listDrop_.TargetAccepts ? listDrop_.Target : -1;
}

std::pair<unsigned, unsigned> TCustomVirtualExplorerListviewEx::ListAutoScrollTimes() const {
    return {Properties().AutoScrollDelay, std::max<unsigned>(Properties().AutoScrollInterval, 1)};
}

void TCustomVirtualExplorerListviewEx::ChangeListDropTarget(int target, std::uint32_t keyState, int screenX,
                                                            int screenY, std::uint32_t& effect) {
    if (target == listDrop_.Target)
        return;
    const int previous = listDrop_.Target;
    if (IExplorerItem* item = ListDropItem(previous))
        ShellPort()->DragLeave(*item);
    listDrop_.Target = target;
    listDrop_.TargetAccepts = false;
    if (IExplorerItem* item = ListDropItem(target); item != nullptr && listDrop_.Data != nullptr) {
        ShellPort()->DragEnter(*item, listDrop_.Data, keyState, {screenX, screenY}, effect);
        listDrop_.TargetAccepts = effect != 0;
    }
    if (port_ != nullptr) {
        if (previous >= 0)
            port_->ShadowInvalidateItem(previous);
        if (target >= 0)
            port_->ShadowInvalidateItem(target);
    }
}

std::int32_t TCustomVirtualExplorerListviewEx::ListDragEnter(IDataObject* data, std::uint32_t keyState,
                                                             int index, int screenX, int screenY,
                                                             std::uint32_t& effect) {
    EndListDrag();
    if (!AcceptsListDrops() || data == nullptr) {
        effect = 0;
        return kOk;
    }
    listDrop_.Button = (keyState & kKeyStateRightButton) != 0 ? kDragButtonRight : kDragButtonLeft;
    listDrop_.Data = data;
    return ListDragOver(keyState, index, screenX, screenY, effect);
}

std::int32_t TCustomVirtualExplorerListviewEx::ListDragOver(std::uint32_t keyState, int index, int screenX,
                                                            int screenY, std::uint32_t& effect) {
    if (listDrop_.Dropping)
        return kOk;
    if (!AcceptsListDrops() || listDrop_.Button == 0) {
        effect = 0;
        return kOk;
    }
    // Past the last item is the background too.
    int target = index >= 0 && GetNodeByIndex(index) != nullptr ? index : kListBackgroundTarget;
    if (target >= 0 && target == listDragStart_)
        target = kListNoDropTarget;
    const std::uint32_t asked = effect;
    ChangeListDropTarget(target, keyState, screenX, screenY, effect);
    effect = asked;
    if (IExplorerItem* item = ListDropItem(listDrop_.Target))
        ShellPort()->DragOver(*item, keyState, {screenX, screenY}, effect);
    else
        effect = 0;
    listDrop_.LastEffect = effect;
    return kOk;
}

void TCustomVirtualExplorerListviewEx::EndListDrag() {
    const int target = listDrop_.Target;
    if (IExplorerItem* item = ListDropItem(target); item != nullptr && listDrop_.Button != 0)
        if (ShellPort() != nullptr)
            ShellPort()->DragLeave(*item);
    listDrop_ = {};
    if (target >= 0 && port_ != nullptr)
        port_->ShadowInvalidateItem(target);
}

void TCustomVirtualExplorerListviewEx::ListDragLeave() {
    EndListDrag();
}

std::int32_t TCustomVirtualExplorerListviewEx::ListDrop(IDataObject* data, std::uint32_t keyState,
                                                        int /*index*/, int screenX, int screenY,
                                                        std::uint32_t& effect) {
    if (!AcceptsListDrops() || listDrop_.Button == 0) {
        effect = 0;
        EndListDrag();
        return kOk;
    }
    // The drop goes where the last move over the list showed it would.
    IExplorerItem* item = ListDropItem(listDrop_.Target);
    // A right-button drag lets the shell ask for copy, move or link; a left one does what the last move
    // over the target showed.
    effect = listDrop_.Button == kDragButtonRight ? SuggestDropEffect() : listDrop_.LastEffect;
    if (item == nullptr || effect == 0) {
        effect = 0;
        EndListDrag();
        return kOk;
    }
    const int target = listDrop_.Target;
    listDrop_.Dropping = true;
    ScopeExit done([this, target] {
        listDrop_ = {};
        if (target >= 0 && port_ != nullptr)
            port_->ShadowInvalidateItem(target);
    });
    return ShellPort()->Drop(*item, data, keyState, {screenX, screenY}, effect);
}

} // namespace tarvola
