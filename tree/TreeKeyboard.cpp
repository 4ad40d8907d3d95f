// The tree's keyboard: the key rules, the key-down actions other than moving the focus (expand and collapse
// keys, help, editing, the space key's check press, the context menu, select all), the incremental search
// wiring, and what focus changes end.
#include "tree/TreeKeyboard.h"

#include "base/Numerics.h"
#include "tree/AutoScroll.h"
#include "tree/Header.h"
#include "tree/HeaderController.h"
#include "tree/IncrementalSearch.h"
#include "tree/TreeOptions.h"
#include "tree/TreeProperties.h"
#include "tree/VirtualTrees.h"

#include <algorithm>
#include <chrono>

namespace tarvola {

bool IsNavigationKey(std::uint16_t key) {
    switch (key) {
    case vkey::Back:
    case vkey::Tab:
    case vkey::Prior:
    case vkey::Next:
    case vkey::End:
    case vkey::Home:
    case vkey::Left:
    case vkey::Up:
    case vkey::Right:
    case vkey::Down:
        return true;
    default:
        return false;
    }
}

std::uint16_t KeyForTypedCharacter(std::uint16_t key, wchar_t typed) {
    switch (typed) {
    case L'*':
        return vkey::Multiply;
    case L'+':
        return vkey::Add;
    case L'-':
        return vkey::Subtract;
    case L'/':
        return vkey::Divide;
    default:
        return key;
    }
}

namespace {

// The drop's auto-expand timer (the window's timers are numbered 1 expand ... 7 search; the drop target's
// header conflicts with the form layer's shift state, so the number stands here).
constexpr unsigned ExpandTimerId = 1;

bool Held(TKeyModifiers shift, TKeyModifiers which) {
    return (shift & which) != 0;
}

// A key that types a character starts (or continues) a search, unless Ctrl or Alt make it a short cut.
TTreeKeyAction TypedKeyAction(std::uint16_t key, TKeyModifiers shift) {
    if (key >= vkey::Space && !Held(shift, keymod::Ctrl) && !Held(shift, keymod::Alt))
        return TTreeKeyAction::SearchCharacter;
    return TTreeKeyAction::None;
}

// "+" and "-" with their modifiers: plain on the focused node, Ctrl on the header's columns, Ctrl Shift on
// the whole tree.
TTreeKeyAction PlusMinusAction(bool plus, TKeyModifiers shift) {
    if (!Held(shift, keymod::Ctrl))
        return plus ? TTreeKeyAction::ExpandFocused : TTreeKeyAction::CollapseFocused;
    if (Held(shift, keymod::Shift))
        return plus ? TTreeKeyAction::ExpandAll : TTreeKeyAction::CollapseAll;
    return plus ? TTreeKeyAction::FitColumns : TTreeKeyAction::RestoreColumns;
}

} // namespace

TTreeKeyAction ClassifyKey(std::uint16_t key, TKeyModifiers shift, bool searching) {
    switch (key) {
    case vkey::Add:
    case vkey::Subtract:
        if (searching)
            return TTreeKeyAction::SearchCharacter;
        return PlusMinusAction(key == vkey::Add, shift);
    case vkey::Multiply:
        return searching ? TTreeKeyAction::SearchCharacter : TTreeKeyAction::FullExpandFocused;
    case vkey::Divide:
        return searching ? TTreeKeyAction::SearchCharacter : TTreeKeyAction::FullCollapseFocused;
    case vkey::F1:
        return TTreeKeyAction::Help;
    case vkey::F2:
        return Held(shift, keymod::Shift | keymod::Ctrl | keymod::Alt) ? TTreeKeyAction::None
                                                                       : TTreeKeyAction::Edit;
    case vkey::Escape:
        return TTreeKeyAction::Cancel;
    case vkey::Space:
        return TTreeKeyAction::Space;
    case vkey::Apps:
        return TTreeKeyAction::ContextMenu;
    case vkey::KeyA:
        // Only the letter: the keypad's 1 shares no meaning with it.
        if (Held(shift, keymod::Ctrl))
            return TTreeKeyAction::SelectAll;
        return TypedKeyAction(key, shift);
    default:
        return TypedKeyAction(key, shift);
    }
}

// ---- The tree's side

TIncrementalSearch& TBaseVirtualTree::Search() {
    if (!incrementalSearch_) {
        // The hooks are read at each use, so the window may set them after the search was made.
        auto clock = [this]() -> std::uint32_t {
            if (SearchClock)
                return SearchClock();
            const auto now = std::chrono::steady_clock::now().time_since_epoch();
            return static_cast<std::uint32_t>(
                std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
        };
        auto beep = [this] {
            if (SearchBeep)
                SearchBeep();
        };
        incrementalSearch_ = std::make_shared<TIncrementalSearch>(*this, clock, beep);
    }
    return *incrementalSearch_;
}

const std::wstring& TBaseVirtualTree::SearchBuffer() const {
    static const std::wstring empty;
    return incrementalSearch_ ? incrementalSearch_->SearchBuffer() : empty;
}

PVirtualNode TBaseVirtualTree::LastSearchNode() const {
    return incrementalSearch_ ? incrementalSearch_->LastSearchNode() : nullptr;
}

bool TBaseVirtualTree::DoKeyAction(std::uint16_t& charCode, TKeyModifiers& shift) {
    bool doDefault = true;
    if (OnKeyAction)
        OnKeyAction(*this, charCode, shift, doDefault);
    return doDefault;
}

int TBaseVirtualTree::DoGetHelpContext(PVirtualNode node, TColumnIndex column) {
    int helpContext = 0;
    if (OnGetHelpContext)
        OnGetHelpContext(*this, node, column, helpContext);
    return helpContext;
}

void TBaseVirtualTree::HandleKeyDown(std::uint16_t key, TKeyModifiers shift, wchar_t typed) {
    // The pending search bridges one key and its own character only: a key that typed nothing (F5, Delete)
    // must not hand the character of a later short cut (Ctrl+B gives 2) to the search.
    DoStateChange({}, {TreeState::tsIncrementalSearchPending});
    if (!DoKeyAction(key, shift) || key == 0)
        return;
    // Any other key abandons a check the space key holds pressed.
    if (InState(TreeState::tsKeyCheckPending) && key != vkey::Space)
        EndPendingChecks();
    if (IsNavigationKey(key)) {
        NavigateByKey(key, shift);
        return;
    }
    key = KeyForTypedCharacter(key, typed);
    ActOnKey(ClassifyKey(key, shift, InState(TreeState::tsIncrementalSearching)));
}

void TBaseVirtualTree::ActOnKey(TTreeKeyAction action) {
    PVirtualNode focused = focusedNode_;
    switch (action) {
    case TTreeKeyAction::None:
        break;
    case TTreeKeyAction::SearchCharacter:
        DoStateChange({TreeState::tsIncrementalSearchPending});
        break;
    case TTreeKeyAction::ExpandFocused:
        if (focused != nullptr && (focused->States & nsExpanded) == 0)
            ToggleNode(focused);
        break;
    case TTreeKeyAction::CollapseFocused:
        if (focused != nullptr && (focused->States & nsExpanded) != 0)
            ToggleNode(focused);
        break;
    case TTreeKeyAction::FitColumns:
        Header().AutoFitColumns(true);
        break;
    case TTreeKeyAction::RestoreColumns:
        Header().RestoreColumns();
        break;
    case TTreeKeyAction::ExpandAll:
        FullExpand(nullptr);
        break;
    case TTreeKeyAction::CollapseAll:
        FullCollapse(nullptr);
        break;
    case TTreeKeyAction::FullExpandFocused:
        if (focused != nullptr)
            FullExpand(focused);
        break;
    case TTreeKeyAction::FullCollapseFocused:
        if (focused != nullptr)
            FullCollapse(focused);
        break;
    case TTreeKeyAction::Help:
        ShowHelpForFocusedNode();
        break;
    case TTreeKeyAction::Edit:
        if (focused != nullptr && CanEdit(focused, focusedColumn_)) {
            editColumn_ = focusedColumn_;
            StartEditing();
        }
        break;
    case TTreeKeyAction::Cancel:
        if (InState(TreeState::tsDrawSelPending) || InState(TreeState::tsDrawSelecting)) {
            DoStateChange({}, {TreeState::tsDrawSelPending, TreeState::tsDrawSelecting});
            Host().InvalidateAll();
            // Without its band an auto-scroll would go on moving the rows under a held button.
            StopAutoScroll();
        } else {
            CancelEditNode();
        }
        break;
    case TTreeKeyAction::Space:
        PressCheckWithSpace();
        break;
    case TTreeKeyAction::ContextMenu:
        OpenContextMenuForFocusedNode();
        break;
    case TTreeKeyAction::SelectAll:
        SelectAll(true);
        break;
    }
}

void TBaseVirtualTree::ShowHelpForFocusedNode() {
    if (!OnGetHelpContext)
        return;
    int helpContext = 0;
    for (PVirtualNode node = focusedNode_; node != nullptr && node != root_ && helpContext == 0;
         node = node->Parent)
        helpContext = DoGetHelpContext(node, 0);
    if (helpContext == 0 && ControlHelpContext)
        helpContext = ControlHelpContext();
    if (helpContext != 0 && ShowHelp)
        ShowHelp(helpContext);
}

// The space key presses the focused node's check image; the release (HandleKeyUp) applies the new state.
// Without check support or a check image the space is a search character.
void TBaseVirtualTree::PressCheckWithSpace() {
    PVirtualNode node = focusedNode_;
    const bool hasCheck = TreeOptions().MiscOptions().Has(TVTMiscOption::toCheckSupport) && node != nullptr &&
                          CheckType(node) != TCheckType::ctNone;
    if (!hasCheck) {
        DoStateChange({TreeState::tsIncrementalSearchPending});
        return;
    }
    if (InState(TreeState::tsKeyCheckPending) || InState(TreeState::tsMouseCheckPending) ||
        (node->States & nsDisabled) != 0)
        return;
    TCheckState newState = DetermineNextCheckState(CheckType(node), CheckState(node));
    if (!DoChecking(node, newState))
        return;
    DoStateChange({TreeState::tsKeyCheckPending});
    checkNode_ = node;
    pendingCheckState_ = newState;
    node->CheckState = static_cast<std::uint8_t>(PressedCheckState(CheckState(node)));
    InvalidateNode(node);
}

void TBaseVirtualTree::OpenContextMenuForFocusedNode() {
    PVirtualNode node = focusedNode_;
    if (node == nullptr)
        return;
    const TTreeRect text = GetDisplayRect(node, focusedColumn_, true);
    int width = GetNodeWidth(node, focusedColumn_);
    const TVirtualTreeColumns& columns = Header().Columns();
    if (columns.IsValidColumn(focusedColumn_))
        width = std::min(width, columns[focusedColumn_].Width());
    else
        width = std::min(width, Host().ClientWidth());
    const auto x = static_cast<std::int64_t>(text.Left) + width / 2;
    const auto y = (static_cast<std::int64_t>(text.Top) + text.Bottom) / 2;
    ShowNodePopupMenu(node, focusedColumn_, TTreeMousePoint{CheckedCast<int>(x), CheckedCast<int>(y)});
}

void TBaseVirtualTree::HandleKeyUp(std::uint16_t key) {
    if (key != vkey::Space || !InState(TreeState::tsKeyCheckPending))
        return;
    DoStateChange({}, {TreeState::tsKeyCheckPending});
    PVirtualNode node = checkNode_;
    checkNode_ = nullptr;
    if (node == nullptr)
        return;
    // The image goes back to its normal form first, so that a refused change does not leave it pressed.
    node->CheckState = static_cast<std::uint8_t>(NormalCheckState(CheckState(node)));
    // A click may have moved the focus while the space was held: the press then no longer applies.
    if (node == focusedNode_)
        ApplyCheckState(node, pendingCheckState_);
    InvalidateNode(node);
}

void TBaseVirtualTree::EndPendingChecks() {
    if (!InState(TreeState::tsKeyCheckPending) && !InState(TreeState::tsMouseCheckPending) &&
        checkNode_ == nullptr)
        return;
    DoStateChange({}, {TreeState::tsKeyCheckPending, TreeState::tsMouseCheckPending});
    PVirtualNode node = checkNode_;
    checkNode_ = nullptr;
    if (node == nullptr)
        return;
    node->CheckState = static_cast<std::uint8_t>(NormalCheckState(CheckState(node)));
    InvalidateNode(node);
}

void TBaseVirtualTree::HandleCharInput(wchar_t charCode) {
    if (!InState(TreeState::tsIncrementalSearchPending))
        return;
    DoStateChange({}, {TreeState::tsIncrementalSearchPending});
    HandleIncrementalSearch(charCode);
}

void TBaseVirtualTree::HandleIncrementalSearch(wchar_t charCode) {
    Search().HandleChar(charCode);
}

void TBaseVirtualTree::EndIncrementalSearch() {
    if (incrementalSearch_)
        incrementalSearch_->EndSearch();
    else
        Host().StopTimer(SearchTimer);
}

void TBaseVirtualTree::KeyboardFocusGained() {
    const bool ghosted = TreeOptions().PaintOptions().Has(TVTPaintOption::toGhostedIfUnfocused);
    if (selectionCount_ > 0 || !ghosted)
        Host().InvalidateAll();
}

void TBaseVirtualTree::KeyboardFocusLost() {
    StopWheelPanning();
    for (unsigned timer : {ExpandTimerId, EditTimer, HeaderTimer, ScrollTimer, SearchTimer})
        Host().StopTimer(timer);
    EndIncrementalSearch();
    DoStateChange({},
                  {TreeState::tsEditPending, TreeState::tsIncrementalSearching,
                   TreeState::tsIncrementalSearchPending, TreeState::tsLeftButtonDown,
                   TreeState::tsMiddleButtonDown, TreeState::tsOLEDragPending, TreeState::tsRightButtonDown,
                   TreeState::tsScrolling, TreeState::tsScrollPending, TreeState::tsFrameworkDragPending});
    // A check held by the space key or the mouse would otherwise keep its pressed image and block every
    // further check until a key or button comes back up in this window.
    EndPendingChecks();
    const bool ghosted = TreeOptions().PaintOptions().Has(TVTPaintOption::toGhostedIfUnfocused);
    if (selectionCount_ == 0 && ghosted)
        InvalidateNode(focusedNode_);
    else
        Host().InvalidateAll();
}

void TBaseVirtualTree::KeyboardForgetNode(PVirtualNode node) {
    if (node == checkNode_) {
        checkNode_ = nullptr;
        DoStateChange({}, {TreeState::tsKeyCheckPending, TreeState::tsMouseCheckPending});
    }
    if (incrementalSearch_)
        incrementalSearch_->ForgetNode(node);
}

} // namespace tarvola
