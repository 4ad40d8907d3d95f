// The combo box's two drop-downs: the explorer drop-down, a pick tree of folders opened on the box's item,
// and the auto-complete drop-down, the list of paths that complete the text typed into the box's edit.
// Each comes with a facade of the settings a form sets on it.
#pragma once

#include "explorer/VirtualExplorerComboboxDropDown.h"
#include "explorer/VirtualExplorerComboboxTrees.h"
#include "explorer/VirtualExplorerTreeControl.h"
#include "shell/VirtualShellAutoComplete.h"

#include <memory>
#include <optional>

namespace tarvola {

class TCustomVirtualExplorerCombobox;
class TDropDownWnd;

// What the windows of the drop-downs' trees share: they never take the focus by a click and have no menu,
// the row under the pointer is selected as it moves, and a click on a row rolls the drop-down up with it.
class TPopupTreeTracking {
public:
    // control: the tree control this is a base of (made already); it scrolls through the drop-down's bar.
    TPopupTreeTracking(TVirtualTreeControl& control, TDropDownWnd& dropDown);

protected:
    // The answer both windows give to a message (nullopt: the message is not one of theirs).
    static std::optional<LRESULT> CommonAnswer(UINT message);
    // Selects the node under the pointer when it moved; focusNode: the node also becomes the focused one.
    void TrackSelection(int x, int y, bool focusNode);
    // Makes the node at a point the selection and rolls the drop-down up with it chosen; nothing without one.
    void PickNodeAt(int x, int y);
    TDropDownWnd& dropDown_;

private:
    TVirtualTreeControl& control_;
    POINT last_{-1, -1};
};

class TPopupExplorerTreeControl : public TVirtualExplorerTreeControl, private TPopupTreeTracking {
public:
    TPopupExplorerTreeControl(TComponent* owner, TDropDownWnd& dropDown);

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // Whether a point is on a row's button or indent in the enhanced look, where a click only opens or
    // closes the folder.
    bool OnExpandArea(int x, int y);
};

class TPopupAutoCompleteTreeControl : public TVirtualTreeControl, private TPopupTreeTracking {
public:
    TPopupAutoCompleteTreeControl(TComponent* owner, TDropDownWnd& dropDown);

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// What both drop-downs share: the box they belong to and the tree control they show (made and owned by the
// drop-down), which the owner-drawn scroll bar follows.
template <class PopupTree>
class TPopupTreeDropDown : public TDropDownWnd {
public:
    PopupTree& TreeControl() { return tree_; }
    TBaseVirtualTree& Tree() { return tree_.Tree(); }

    void UpdateScrollbar() override;
    int RowHeight() override;

protected:
    TPopupTreeDropDown(TComponent* owner, TCustomVirtualExplorerCombobox& box);
    void ScrollContent(WORD code) override;

    TCustomVirtualExplorerCombobox& box_;
    PopupTree& tree_;
};

extern template class TPopupTreeDropDown<TPopupExplorerTreeControl>;
extern template class TPopupTreeDropDown<TPopupAutoCompleteTreeControl>;

class TPopupExplorerDropDown : public TPopupTreeDropDown<TPopupExplorerTreeControl> {
public:
    TPopupExplorerDropDown(TComponent* owner, TCustomVirtualExplorerCombobox& box);

    // The item the tree opens on (nullopt: the desktop), set before each roll-down.
    void SetTarget(const std::optional<TItemIDList>& pidl) { target_ = pidl; }
    const std::optional<TItemIDList>& Target() const { return target_; }
    bool ExpandOnDropDown = true;
    TPopupComboBoxStyle ComboBoxStyle() { return PopupExplorerStyle(Tree()); }
    void SetComboBoxStyle(TPopupComboBoxStyle style) { SetPopupExplorerStyle(Tree(), style); }

protected:
    bool IsOwnerWindow(HWND window) override;
    void DoRollDownInit() override;
    void DoKey(MSG& keyMessage, bool& handled) override;
    void DoRollUp(bool selected) override;

private:
    std::optional<TItemIDList> target_;
};

// Lets a form fill the completion list itself: set handled to skip the folder listing.
using TOnAutoCompleteUpdateList =
    std::function<void(TDropDownWnd& sender, const WideString& currentEditContents,
                       std::vector<WideString>& enumList, bool& handled)>;

class TPopupAutoCompleteDropDown : public TPopupTreeDropDown<TPopupAutoCompleteTreeControl> {
public:
    TPopupAutoCompleteDropDown(TComponent* owner, TCustomVirtualExplorerCombobox& box);

    TVirtualShellAutoComplete& AutoComplete() { return autoComplete_; }
    const TCompletionFilter& Filter() const { return filter_; }
    // The completion text of a node of the list.
    WideString NodeText(PVirtualNode node) { return CompletionText(Tree(), node); }
    TOnAutoCompleteUpdateList OnAutoCompleteUpdateList;

    // Rebuilds the list for the edit's text; the folder is listed again only when its part of the text
    // changed.
    void UpdateList(const WideString& text);

protected:
    bool IsOwnerWindow(HWND window) override;
    void DoRollDownInit() override;
    void DoKey(MSG& keyMessage, bool& handled) override;
    void DoRollUp(bool selected) override;

private:
    std::vector<WideString> ListFolder(const WideString& folder);

    TVirtualShellAutoComplete autoComplete_;
    TCompletionFilter filter_;
    // The list a form's handler filled, shown whole instead of the filter's.
    std::vector<WideString> handledEntries_;
    std::vector<std::size_t> handledMatches_;
};

// The settings of a drop-down that forms set, forwarded to it and its tree.
class TPopupOptionsFacade {
public:
    explicit TPopupOptionsFacade(TDropDownWnd& dropDown, TBaseVirtualTree& tree)
        : dropDown_(dropDown), tree_(tree) {}
    int AnimationSpeed() const { return dropDown_.AnimationSpeed; }
    void SetAnimationSpeed(int value) { dropDown_.AnimationSpeed = value; }
    int AutoScrollTimeFast() const { return dropDown_.AutoScrollTimeFast; }
    void SetAutoScrollTimeFast(int value) { dropDown_.AutoScrollTimeFast = value; }
    int AutoScrollTimeSlow() const { return dropDown_.AutoScrollTimeSlow; }
    void SetAutoScrollTimeSlow(int value) { dropDown_.AutoScrollTimeSlow = value; }
    unsigned DropDownCount() const { return dropDown_.DropDownCount; }
    void SetDropDownCount(unsigned value) { dropDown_.DropDownCount = value; }
    std::uint32_t DefaultNodeHeight() const { return tree_.DefaultNodeHeight(); }
    void SetDefaultNodeHeight(std::uint32_t value) { tree_.SetDefaultNodeHeight(value); }
    int Indent() const { return tree_.Indent; }
    void SetIndent(int value) { tree_.Indent = value; }
    TPopupOptions Options() const { return dropDown_.Options(); }
    // Also switches the tree's themed painting with poThemeAware.
    void SetOptions(TPopupOptions value);
    void SetOnRollDown(TOnPopupRollDown handler) { dropDown_.OnRollDown = std::move(handler); }
    void SetOnRollUp(TOnPopupRollUp handler) { dropDown_.OnRollUp = std::move(handler); }

protected:
    TDropDownWnd& dropDown_;
    TBaseVirtualTree& tree_;
};

class TPopupExplorerOptions : public TPopupOptionsFacade {
public:
    explicit TPopupExplorerOptions(TPopupExplorerDropDown& dropDown)
        : TPopupOptionsFacade(dropDown, dropDown.Tree()), explorer_(dropDown) {}
    TPopupComboBoxStyle ComboBoxStyle() { return explorer_.ComboBoxStyle(); }
    void SetComboBoxStyle(TPopupComboBoxStyle value) { explorer_.SetComboBoxStyle(value); }

private:
    TPopupExplorerDropDown& explorer_;
};

class TPopupAutoCompleteOptions : public TPopupOptionsFacade {
public:
    explicit TPopupAutoCompleteOptions(TPopupAutoCompleteDropDown& dropDown)
        : TPopupOptionsFacade(dropDown, dropDown.Tree()), autoComplete_(dropDown) {}
    TAutoCompleteContents Contents() { return autoComplete_.AutoComplete().Contents(); }
    void SetContents(TAutoCompleteContents value) { autoComplete_.AutoComplete().SetContents(value); }
    void SetOnAutoCompleteUpdateList(TOnAutoCompleteUpdateList handler) {
        autoComplete_.OnAutoCompleteUpdateList = std::move(handler);
    }

private:
    TPopupAutoCompleteDropDown& autoComplete_;
};

} // namespace tarvola
