// The explorer combo box: an address box for shell items. Its edit shows the current item's icon and name;
// the button opens a pick tree of folders; while the user types a path an auto-complete list drops down
// under the edit; Enter makes the typed path current (a file is opened through the shell). Through change
// links the box follows an explorer view and the view follows the box.
//
// Files: VirtualExplorerCombobox.cpp (the box: parts, painting, mouse, current item, links),
// VirtualExplorerComboboxEdit.cpp (the edit and reading typed text), VirtualExplorerComboboxPopups.h (the
// drop-downs), VirtualExplorerComboboxRules.h (the decisions, portable).
#pragma once

#include "explorer/VirtualExplorerComboboxPopups.h"
#include "forms/StdCtrls.h"
#include "shell/VirtualNamespace.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace tarvola {

class TCustomVirtualExplorerCombobox;

// How the box reaches the change links between explorer controls: it tells them which item it shows now
// and drops its links when it goes. The program's dispatcher stands behind it; tests put their own.
class IComboChangeLinks {
public:
    virtual ~IComboChangeLinks() = default;
    // Tells the controls that follow server about the item it now shows.
    virtual void DispatchChange(void* server, const TItemIDList& pidl) = 0;
    // Drops the links of server and client; mode 3 drops every link in which either takes part.
    virtual void UnRegisterChangeLink(void* server, void* client, int mode) = 0;
};

// The program's dispatcher behind a box: the identities pass as they are; an unknown mode drops nothing.
class TComboDispatchLinks final : public IComboChangeLinks {
public:
    void DispatchChange(void* server, const TItemIDList& pidl) override;
    void UnRegisterChangeLink(void* server, void* client, int mode) override;
};

// The links every box takes part in unless it is given others.
IComboChangeLinks& DefaultComboChangeLinks();

enum TExplorerComboOption : unsigned {
    ecoThreadedImages = 1,
    ecoThemeAware = 2,
    ecoExpandOnDropDown = 4,
};
using TExplorerComboOptions = unsigned;

enum class TComboPart { cpContent, cpClient, cpButton, cpImage, cpEdit };

// The borderless edit inside the box.
class TComboEdit : public TEdit {
public:
    TComboEdit(TComponent* owner, TCustomVirtualExplorerCombobox& box);

    // 0 editable, 1 select-only (the box behaves as a list).
    std::uint8_t Style() const { return style_; }
    void SetStyle(std::uint8_t style);
    // Set by the user's first change; cleared whenever the box sets the text.
    bool Modified() const { return modified_; }
    WideString WideText() const;
    // Sets the text as the box's own (not modified); selectAll in Style 0 selects it all.
    void SetWideText(const WideString& text, bool selectAll);
    // Reads the typed text as a path and acts on it (Enter).
    void AcceptEditText();

protected:
    void CreateParams(TCreateParams& params) override;
    void InitializeHandle() override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool CommandNotify(WORD code) override;
    virtual void DoInvalidPath(const WideString& path);

private:
    // The steps of AcceptEditText; each returns true when it took the text.
    bool AcceptNetworkPath(const WideString& text);
    bool AcceptDirectory(const WideString& text);
    bool AcceptNamedFolder(const WideString& text);
    bool AcceptFile(const WideString& text);
    bool AcceptDesktopChild(const WideString& text);
    void OpenFile(TNamespace& item, const WideString& text);

    TCustomVirtualExplorerCombobox& box_;
    std::uint8_t style_ = 0;
    bool typing_ = false;
    bool modified_ = false;
    bool settingText_ = false;
    TColor savedColor_ = clWindow;
    TColor savedFontColor_ = clWindowText;
};

class TCustomVirtualExplorerCombobox : public TCustomControl {
public:
    explicit TCustomVirtualExplorerCombobox(TComponent* owner);
    ~TCustomVirtualExplorerCombobox() override;

    // The current item (nullptr: none). Setting takes a copy; setting the item it holds does nothing.
    TNamespace* Namespace() const { return namespace_.get(); }
    void SetNamespace(TNamespace* value);

    bool Active() const { return active_; }
    void SetActive(bool value);
    // 0 editable, 1 select-only; the edit follows.
    std::uint8_t Style() const { return style_; }
    void SetStyle(std::uint8_t value);
    bool Flat() const { return flat_; }
    void SetFlat(bool value);
    bool Border() const { return border_; }
    void SetBorder(bool value);
    // 0 shows the item's display name, 1 its parse address.
    std::uint8_t TextType() const { return textType_; }
    void SetTextType(std::uint8_t value);
    TExplorerComboOptions Options() const { return options_; }
    void SetOptions(TExplorerComboOptions value);
    bool Themed() const { return themed_; }

    TComboEdit& Edit() { return edit_; }
    TPopupExplorerDropDown& ExplorerDropDown() { return explorerDropDown_; }
    TPopupAutoCompleteDropDown& AutoCompleteDropDown() { return autoCompleteDropDown_; }
    TPopupExplorerOptions& PopupExplorerOptions() { return *explorerOptions_; }
    TPopupAutoCompleteOptions& PopupAutoCompleteOptions() { return *autoCompleteOptions_; }

    void ShowExplorerDropDown();
    // True: the auto-complete list, rebuilt from the edit's text; false: the explorer drop-down on the
    // desktop.
    void ShowAutoComplete(bool autoComplete);
    TRect GetPartRect(TComboPart part);
    // The icon shown without a current item.
    int IconIndex() const { return iconIndex_; }
    void SetIconIndex(int index);
    // Refreshes the edit's text from the current item.
    void RefreshEditText(bool selectAll);

    std::function<void(TCustomVirtualExplorerCombobox& sender, const WideString& path)> OnInvalidPath;
    std::function<void(TCustomVirtualExplorerCombobox& sender, TNamespace* item)> OnPathChange;

    // --- Change links
    // The links the box takes part in (nullptr: none; the program's dispatcher unless set); they must
    // outlive the box.
    void SetChangeLinks(IComboChangeLinks* links) { links_ = links; }
    // A linked view shows another item (nullptr: none).
    void ChangeLinkChangeEvent(void* server, const TItemIDList* pidl);
    // A link of the box was released.
    void ChangeLinkFreeEvent(void* server, void* client);
    void* LinkedView() const { return linkedView_; }
    void SetLinkedView(void* view) { linkedView_ = view; }

protected:
    void InitializeHandle() override;
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint() override;
    void Resize() override;
    virtual void DispatchChangeLink(const TItemIDList& pidl);
    virtual void DoPathChange(TNamespace* item);

private:
    friend class TComboEdit;
    enum : std::uint8_t { msChanging = 1, msHot = 2, msPressed = 4, msPressedLeft = 8 };

    void OpenThemes();
    void CloseThemes();
    void PlaceEdit();
    void PaintThemed(HDC dc);
    void PaintClassic(HDC dc);
    void PaintIcon(HDC dc, TColor background);
    int CurrentIcon();
    void ButtonMouseMove(POINT point);
    void ButtonDown(POINT point);
    void ButtonUp();
    void SetMouseState(std::uint8_t state);

    TComboEdit& edit_;
    TPopupExplorerDropDown& explorerDropDown_;
    TPopupAutoCompleteDropDown& autoCompleteDropDown_;
    std::unique_ptr<TPopupExplorerOptions> explorerOptions_;
    std::unique_ptr<TPopupAutoCompleteOptions> autoCompleteOptions_;
    std::unique_ptr<TNamespace> namespace_;
    int iconIndex_ = -1;
    TRect buttonRect_;
    std::uint8_t mouseState_ = 0;
    std::uint8_t textType_ = 0;
    TExplorerComboOptions options_ = ecoThemeAware | ecoExpandOnDropDown;
    std::uint8_t style_ = 0;
    bool flat_ = false;
    bool border_ = true;
    bool active_ = false;
    bool themed_ = false;
    HANDLE editTheme_ = nullptr;
    HANDLE comboTheme_ = nullptr;
    HANDLE buttonTheme_ = nullptr;
    IComboChangeLinks* links_ = &DefaultComboChangeLinks();
    void* linkedView_ = nullptr;
};

class TVirtualExplorerCombobox : public TCustomVirtualExplorerCombobox {
public:
    using TCustomVirtualExplorerCombobox::TCustomVirtualExplorerCombobox;
};

} // namespace tarvola
