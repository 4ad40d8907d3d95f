// Check images: the state a click gives, and tri-state and radio propagation. A tri-state node follows its
// children both ways: setting it sets them, and a changed child recomputes its parent.
#include "tree/TreeGuards.h"
#include "tree/VirtualTrees.h"

#include <array>

namespace tarvola {

namespace {

bool TakesPartInTriState(PVirtualNode node) {
    const auto type = static_cast<TCheckType>(node->CheckType);
    return type == TCheckType::ctTriStateCheckBox || type == TCheckType::ctCheckBox;
}

bool IsTriStateBox(PVirtualNode node) {
    return static_cast<TCheckType>(node->CheckType) == TCheckType::ctTriStateCheckBox;
}

bool IsChecked(TCheckState state) {
    return state == TCheckState::csCheckedNormal || state == TCheckState::csCheckedPressed;
}

} // namespace

TCheckState PressedCheckState(TCheckState state) {
    static constexpr std::array<TCheckState, 6> pressed = {
        TCheckState::csUncheckedPressed, TCheckState::csUncheckedPressed, TCheckState::csCheckedPressed,
        TCheckState::csCheckedPressed,   TCheckState::csMixedPressed,     TCheckState::csMixedPressed};
    return pressed.at(static_cast<std::size_t>(state));
}

TCheckState NormalCheckState(TCheckState state) {
    static constexpr std::array<TCheckState, 6> normal = {
        TCheckState::csUncheckedNormal, TCheckState::csUncheckedNormal, TCheckState::csCheckedNormal,
        TCheckState::csCheckedNormal,   TCheckState::csMixedNormal,     TCheckState::csMixedNormal};
    return normal.at(static_cast<std::size_t>(state));
}

TCheckState TBaseVirtualTree::CheckState(PVirtualNode node) const {
    return static_cast<TCheckState>(node->CheckState);
}

TCheckType TBaseVirtualTree::CheckType(PVirtualNode node) const {
    return static_cast<TCheckType>(node->CheckType);
}

void TBaseVirtualTree::SetCheckState(PVirtualNode node, TCheckState value) {
    if (CheckState(node) == value || (node->States & nsDisabled) != 0)
        return;
    if (DoChecking(node, value))
        ApplyCheckState(node, value);
}

void TBaseVirtualTree::SetCheckType(PVirtualNode node, TCheckType value) {
    if (CheckType(node) == value || Options.ReadOnly)
        return;
    node->CheckType = static_cast<std::uint8_t>(value);
    node->CheckState = static_cast<std::uint8_t>(TCheckState::csUncheckedNormal);
    PVirtualNode parent = node->Parent;
    if (Options.AutoTristateTracking && TakesPartInTriState(node) && parent != root_ &&
        IsTriStateBox(parent)) {
        const TCheckState parentState = CheckState(parent);
        if (parentState == TCheckState::csUncheckedNormal || parentState == TCheckState::csCheckedNormal)
            SetCheckState(node, parentState);
    }
    InvalidateNode(node);
}

TCheckState TBaseVirtualTree::DetermineNextCheckState(TCheckType checkType, TCheckState checkState) const {
    switch (checkType) {
    case TCheckType::ctTriStateCheckBox:
    case TCheckType::ctCheckBox:
        return checkState == TCheckState::csCheckedNormal ? TCheckState::csUncheckedNormal
                                                          : TCheckState::csCheckedNormal;
    case TCheckType::ctRadioButton:
        return TCheckState::csCheckedNormal;
    case TCheckType::ctButton:
        return TCheckState::csUncheckedNormal;
    case TCheckType::ctNone:
        break;
    }
    return TCheckState::csMixedNormal;
}

bool TBaseVirtualTree::ApplyCheckState(PVirtualNode node, TCheckState value) {
    const bool changed = ChangeCheckState(node, value);
    if (changed)
        DoChecked(node);
    return changed;
}

bool TBaseVirtualTree::ChangeCheckState(PVirtualNode node, TCheckState value) {
    if ((node->States & nsChecking) != 0)
        return false;
    // The node is marked as being checked and one level of propagation counted for the scope; a throwing
    // handler must leave neither behind.
    node->States |= nsChecking;
    ++checkPropagationCount_;
    ScopeExit checked([this, node] {
        node->States &= ~nsChecking;
        if (--checkPropagationCount_ == 0)
            DoStateChange({}, {TreeState::tsCheckPropagation});
    });
    if (checkPropagationCount_ == 1)
        DoStateChange({TreeState::tsCheckPropagation});
    InitIfNeeded(node);

    if (IsTriStateBox(node) && Options.AutoTristateTracking &&
        (value == TCheckState::csCheckedNormal || value == TCheckState::csUncheckedNormal) &&
        (node->States & nsHasChildren) != 0) {
        CountChildrenIfNeeded(node);
        std::uint32_t counted = 0, checked = 0;
        bool mixed = false;
        for (PVirtualNode child = node->FirstChild; child != nullptr; child = child->NextSibling) {
            if (!TakesPartInTriState(child))
                continue;
            SetCheckState(child, value);
            ++counted;
            checked += IsChecked(CheckState(child)) ? 1 : 0;
            mixed = mixed || NormalCheckState(CheckState(child)) == TCheckState::csMixedNormal;
        }
        if (mixed || (checked > 0 && checked < counted))
            value = TCheckState::csMixedNormal;
        else if (checked > 0)
            value = TCheckState::csCheckedNormal;
        else if (counted > 0)
            value = TCheckState::csUncheckedNormal; // every child refused the check: the box shows that
    }

    if (CheckType(node) == TCheckType::ctRadioButton && value == TCheckState::csCheckedNormal) {
        for (PVirtualNode sibling = node->Parent->FirstChild; sibling != nullptr;
             sibling = sibling->NextSibling)
            if (CheckType(sibling) == TCheckType::ctRadioButton)
                sibling->CheckState = static_cast<std::uint8_t>(TCheckState::csUncheckedNormal);
        if (Host().HasWindow())
            Host().InvalidateAll();
    }

    node->CheckState = static_cast<std::uint8_t>(value);
    PVirtualNode parent = node->Parent;
    if (parent != root_)
        InitIfNeeded(parent);
    bool result = true;
    if (Options.AutoTristateTracking && TakesPartInTriState(node) && parent != root_ &&
        IsTriStateBox(parent) && (parent->States & (nsChecking | nsDisabled)) == 0)
        result = UpdateParentCheckState(node, value);
    InvalidateNode(node);
    return result;
}

// The parent's own ApplyCheckState carries the change on to the grandparent, so this goes one level only:
// each ancestor hears of one click once.
bool TBaseVirtualTree::UpdateParentCheckState(PVirtualNode node, TCheckState newCheckState) {
    PVirtualNode parent = node->Parent;
    std::uint32_t counted = 0, checked = 0;
    bool mixed = false;
    for (PVirtualNode child = parent->FirstChild; child != nullptr; child = child->NextSibling) {
        if (!TakesPartInTriState(child))
            continue;
        const TCheckState state = child == node ? newCheckState : CheckState(child);
        ++counted;
        checked += IsChecked(state) ? 1 : 0;
        mixed = mixed || state == TCheckState::csMixedNormal;
    }
    TCheckState state = TCheckState::csCheckedNormal;
    if (checked == 0 && !mixed)
        state = TCheckState::csUncheckedNormal;
    else if (checked < counted)
        state = TCheckState::csMixedNormal;
    if (!DoChecking(parent, state))
        return false;
    return ApplyCheckState(parent, state);
}

} // namespace tarvola
