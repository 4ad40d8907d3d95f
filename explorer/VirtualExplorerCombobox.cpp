#include "explorer/VirtualExplorerCombobox.h"
#include "explorer/VETChangeLink.h"

#include "shell/VirtualShellUtilities.h"
#include "shell/VirtualSysImages.h"
#include "shell/VirtualUtilities.h"

#include <uxtheme.h>
#include <vssym32.h>
#include <windowsx.h>

namespace tarvola {

namespace {

constexpr int ComboDefaultHeight = 23;
constexpr int ComboDefaultWidth = 300;

} // namespace

TCustomVirtualExplorerCombobox::TCustomVirtualExplorerCombobox(TComponent* owner)
    : TCustomControl(owner), edit_(Create<TComboEdit>(*this)),
      explorerDropDown_(Create<TPopupExplorerDropDown>(*this)),
      autoCompleteDropDown_(Create<TPopupAutoCompleteDropDown>(*this)),
      explorerOptions_(std::make_unique<TPopupExplorerOptions>(explorerDropDown_)),
      autoCompleteOptions_(std::make_unique<TPopupAutoCompleteOptions>(autoCompleteDropDown_)) {
    SetColor(clWindow);
    SetBounds(0, 0, ComboDefaultWidth, ComboDefaultHeight);
    edit_.SetColor(clWindow);
    edit_.SetParent(this);
}

TCustomVirtualExplorerCombobox::~TCustomVirtualExplorerCombobox() {
    if (links_ != nullptr)
        links_->UnRegisterChangeLink(this, this, 3);
    CloseThemes();
}

// ---- Properties

void TCustomVirtualExplorerCombobox::SetNamespace(TNamespace* value) {
    if (value != nullptr && value == namespace_.get())
        return;
    namespace_ = value != nullptr ? value->Clone(true) : nullptr;
    if (active_) {
        RefreshEditText(true);
        Invalidate();
        if (namespace_ != nullptr)
            DispatchChangeLink(TItemIDList::FromPIDL(namespace_->AbsolutePIDL()));
    }
    DoPathChange(namespace_.get());
}

void TCustomVirtualExplorerCombobox::SetActive(bool value) {
    if (active_ == value)
        return;
    active_ = value;
    RefreshEditText(false);
    Invalidate();
}

void TCustomVirtualExplorerCombobox::SetStyle(std::uint8_t value) {
    style_ = value;
    edit_.SetStyle(value);
    RefreshEditText(false);
    Invalidate();
}

void TCustomVirtualExplorerCombobox::SetFlat(bool value) {
    flat_ = value;
    Invalidate();
}

void TCustomVirtualExplorerCombobox::SetBorder(bool value) {
    border_ = value;
    PlaceEdit();
    Invalidate();
}

void TCustomVirtualExplorerCombobox::SetTextType(std::uint8_t value) {
    textType_ = value;
    RefreshEditText(false);
}

void TCustomVirtualExplorerCombobox::SetOptions(TExplorerComboOptions value) {
    const TExplorerComboOptions changed = value ^ options_;
    options_ = value;
    if ((changed & ecoThemeAware) != 0) {
        for (TPopupOptionsFacade* facade : {static_cast<TPopupOptionsFacade*>(explorerOptions_.get()),
                                            static_cast<TPopupOptionsFacade*>(autoCompleteOptions_.get())}) {
            const TPopupOptions options = facade->Options();
            facade->SetOptions((value & ecoThemeAware) != 0 ? options | poThemeAware
                                                            : options & ~poThemeAware);
        }
        if (HandleAllocated())
            SendMessageW(Handle(), WM_THEMECHANGED, 0, 0);
    }
}

void TCustomVirtualExplorerCombobox::SetIconIndex(int index) {
    iconIndex_ = index;
    Invalidate();
}

void TCustomVirtualExplorerCombobox::RefreshEditText(bool selectAll) {
    WideString text;
    if (active_ && namespace_ != nullptr) {
        text = textType_ == 1 ? namespace_->NameParseAddress() : namespace_->NameNormal();
        if (text.empty())
            text = namespace_->NameNormal();
    }
    edit_.SetWideText(text, selectAll && style_ == 0);
}

// ---- Drop-downs

void TCustomVirtualExplorerCombobox::ShowExplorerDropDown() {
    if (autoCompleteDropDown_.RolledDown()) {
        autoCompleteDropDown_.RollUp(false);
        return;
    }
    if (!active_ || !edit_.HandleAllocated())
        return;
    HideCaret(edit_.Handle());
    SendMessageW(edit_.Handle(), EM_SETSEL, 0, 0);
    explorerDropDown_.ExpandOnDropDown = (options_ & ecoExpandOnDropDown) != 0;
    explorerDropDown_.SetTarget(
        namespace_ != nullptr ? std::optional<TItemIDList>(TItemIDList::FromPIDL(namespace_->AbsolutePIDL()))
                              : std::nullopt);
    explorerDropDown_.RollDown(&edit_, this);
    if (edit_.HandleAllocated()) {
        edit_.SetFocus();
        edit_.SelectAll();
        ShowCaret(edit_.Handle());
    }
}

void TCustomVirtualExplorerCombobox::ShowAutoComplete(bool autoComplete) {
    if (!autoComplete) {
        autoCompleteDropDown_.RollUp(false);
        explorerDropDown_.SetTarget(std::nullopt);
        explorerDropDown_.ExpandOnDropDown = (options_ & ecoExpandOnDropDown) != 0;
        explorerDropDown_.RollDown(this, this);
        return;
    }
    explorerDropDown_.RollUp(false);
    if (edit_.ReadOnly()) {
        autoCompleteDropDown_.RollUp(false);
        return;
    }
    // Filled before it shows, so that the keystroke that opens the list already finds its completions.
    autoCompleteDropDown_.UpdateList(edit_.WideText());
    if (!autoCompleteDropDown_.RolledDown())
        autoCompleteDropDown_.RollDown(&edit_, this);
}

// ---- Change links

void TComboDispatchLinks::DispatchChange(void* server, const TItemIDList& pidl) {
    VETChangeDispatch().DispatchChange(server, pidl);
}

void TComboDispatchLinks::UnRegisterChangeLink(void* server, void* client, int mode) {
    const auto first = static_cast<int>(TVETUnregisterMode::umServer);
    const auto last = static_cast<int>(TVETUnregisterMode::umEither);
    if (mode < first || mode > last)
        return;
    VETChangeDispatch().UnRegisterChangeLink(server, client, static_cast<TVETUnregisterMode>(mode));
}

IComboChangeLinks& DefaultComboChangeLinks() {
    static TComboDispatchLinks links;
    return links;
}

void TCustomVirtualExplorerCombobox::DispatchChangeLink(const TItemIDList& pidl) {
    if (links_ != nullptr)
        links_->DispatchChange(this, pidl);
}

void TCustomVirtualExplorerCombobox::DoPathChange(TNamespace* item) {
    if (OnPathChange)
        OnPathChange(*this, item);
}

void TCustomVirtualExplorerCombobox::ChangeLinkChangeEvent(void*, const TItemIDList* pidl) {
    if ((mouseState_ & msChanging) != 0)
        return;
    mouseState_ |= msChanging;
    try {
        if (pidl == nullptr) {
            SetNamespace(nullptr);
        } else if (namespace_ == nullptr || TItemIDList::FromPIDL(namespace_->AbsolutePIDL()) != *pidl) {
            // The item borrows the list for the moment it takes to copy it.
            TNamespace item(const_cast<PItemIDList>(reinterpret_cast<PCItemIDList>(pidl->Data())), nullptr);
            item.SetFreePIDLOnDestroy(false);
            SetNamespace(&item);
        }
    } catch (...) {
        mouseState_ = static_cast<std::uint8_t>(mouseState_ & ~msChanging);
        throw;
    }
    mouseState_ = static_cast<std::uint8_t>(mouseState_ & ~msChanging);
}

void TCustomVirtualExplorerCombobox::ChangeLinkFreeEvent(void* server, void* client) {
    if (server == this && client == linkedView_)
        linkedView_ = nullptr;
}

// ---- Window

void TCustomVirtualExplorerCombobox::InitializeHandle() {
    TCustomControl::InitializeHandle();
    if (namespace_ == nullptr || !WideDirectoryExists(namespace_->NameParseAddress()))
        if (TShellLayer::Started())
            if (TNamespace* desktop = TShellLayer::Get().Special(TSpecialFolder::Desktop))
                SetNamespace(desktop);
    SendMessageW(Handle(), WM_THEMECHANGED, 0, 0);
    RefreshEditText(false);
    PlaceEdit();
}

void TCustomVirtualExplorerCombobox::OpenThemes() {
    themed_ = false;
    if (!HandleAllocated() || (options_ & ecoThemeAware) == 0 || !IsThemeActive())
        return;
    editTheme_ = OpenThemeData(Handle(), L"edit");
    comboTheme_ = OpenThemeData(Handle(), L"combobox");
    buttonTheme_ = OpenThemeData(Handle(), L"button");
    themed_ = editTheme_ != nullptr && comboTheme_ != nullptr;
}

void TCustomVirtualExplorerCombobox::CloseThemes() {
    for (HANDLE* theme : {&editTheme_, &comboTheme_, &buttonTheme_}) {
        if (*theme != nullptr)
            CloseThemeData(*theme);
        *theme = nullptr;
    }
    themed_ = false;
}

TRect TCustomVirtualExplorerCombobox::GetPartRect(TComboPart part) {
    const TRect client = ClientRect();
    TRect content = client;
    if (themed_ && HandleAllocated()) {
        HDC dc = GetDC(Handle());
        RECT bounds = client.ToRECT(), inner{};
        if (SUCCEEDED(
                GetThemeBackgroundContentRect(editTheme_, dc, EP_EDITTEXT, ETS_NORMAL, &bounds, &inner)))
            content = TRect::From(inner);
        ReleaseDC(Handle(), dc);
    } else {
        content = TRect{client.Left + 2, client.Top + 2, client.Right - 2, client.Bottom - 2};
    }
    const int buttonWidth = GetSystemMetrics(SM_CXVSCROLL);
    const int imageSize = GetSystemMetrics(SM_CXSMICON);
    switch (part) {
    case TComboPart::cpContent:
        return content;
    case TComboPart::cpClient:
        return client;
    case TComboPart::cpButton:
        return TRect{content.Right - buttonWidth, content.Top, content.Right, content.Bottom};
    case TComboPart::cpImage: {
        const int top = (client.Height() - imageSize) / 2;
        return TRect{content.Left + 2, top, content.Left + 2 + imageSize, top + imageSize};
    }
    case TComboPart::cpEdit: {
        WideString sample = edit_.WideText();
        if (sample.empty())
            sample = u"C:\\";
        const int textHeight = WideFontTextExtent(sample, Font()).cy;
        TRect edit = content;
        if (content.Height() > textHeight) {
            edit.Top = content.Top + (content.Height() - textHeight) / 2;
            edit.Bottom = edit.Top + textHeight;
        }
        edit.Left = content.Left + imageSize + 4;
        edit.Right = content.Right - buttonWidth - 1;
        return edit;
    }
    }
    return content;
}

void TCustomVirtualExplorerCombobox::PlaceEdit() {
    const TRect edit = GetPartRect(TComboPart::cpEdit);
    edit_.SetBounds(edit.Left, edit.Top, std::max(edit.Width(), 0), std::max(edit.Height(), 0));
}

void TCustomVirtualExplorerCombobox::Resize() {
    TCustomControl::Resize();
    PlaceEdit();
}

LRESULT TCustomVirtualExplorerCombobox::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETFOCUS:
        if (edit_.HandleAllocated())
            ::SetFocus(edit_.Handle());
        return 0;
    case WM_THEMECHANGED:
        CloseThemes();
        OpenThemes();
        PlaceEdit();
        Invalidate();
        return 0;
    case WM_MOUSEMOVE:
        ButtonMouseMove(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        break;
    case WM_MOUSELEAVE:
        SetMouseState(static_cast<std::uint8_t>(mouseState_ & ~msHot));
        break;
    case WM_LBUTTONDOWN: {
        const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (buttonRect_.Contains(point.x, point.y) ||
            GetPartRect(TComboPart::cpButton).Contains(point.x, point.y)) {
            ButtonDown(point);
            return 0;
        }
        break;
    }
    case WM_LBUTTONUP:
        ButtonUp();
        break;
    case WM_LBUTTONDBLCLK:
        if (GET_X_LPARAM(lParam) < edit_.Left()) {
            ShowExplorerDropDown();
            return 0;
        }
        break;
    default:
        break;
    }
    return TCustomControl::WndProc(message, wParam, lParam);
}

void TCustomVirtualExplorerCombobox::SetMouseState(std::uint8_t state) {
    if (state == mouseState_)
        return;
    mouseState_ = state;
    if (HandleAllocated()) {
        const RECT button = GetPartRect(TComboPart::cpButton).ToRECT();
        InvalidateRect(Handle(), &button, FALSE);
    }
}

void TCustomVirtualExplorerCombobox::ButtonMouseMove(POINT point) {
    const bool over = GetPartRect(TComboPart::cpButton).Contains(point.x, point.y);
    std::uint8_t state = over ? mouseState_ | msHot : mouseState_ & ~msHot;
    // Leaving the pressed button shows it raised until the pointer comes back.
    if (!over && (state & msPressed) != 0)
        state = (state & ~msPressed) | msPressedLeft;
    else if (over && (state & msPressedLeft) != 0)
        state = (state & ~msPressedLeft) | msPressed;
    SetMouseState(static_cast<std::uint8_t>(state));
    TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, Handle(), 0};
    TrackMouseEvent(&track);
}

void TCustomVirtualExplorerCombobox::ButtonDown(POINT) {
    if (explorerDropDown_.RolledDown()) {
        explorerDropDown_.RollUp(false);
        return;
    }
    SetMouseState(static_cast<std::uint8_t>(mouseState_ | msPressed));
    SetCapture(Handle());
    Update();
    ShowExplorerDropDown();
    ButtonUp();
}

void TCustomVirtualExplorerCombobox::ButtonUp() {
    SetMouseState(static_cast<std::uint8_t>(mouseState_ & ~(msHot | msPressed | msPressedLeft)));
    if (GetCapture() == Handle())
        ReleaseCapture();
}

// ---- Painting

int TCustomVirtualExplorerCombobox::CurrentIcon() {
    if (namespace_ != nullptr) {
        iconIndex_ = -1;
        return namespace_->GetIconIndex(false, TIconSize::Small, true);
    }
    return iconIndex_;
}

void TCustomVirtualExplorerCombobox::PaintIcon(HDC dc, TColor background) {
    if (!active_ || edit_.Modified())
        return;
    const int icon = CurrentIcon();
    HIMAGELIST images = SmallSysImages().Handle();
    if (icon < 0 || images == nullptr)
        return;
    const TRect image = GetPartRect(TComboPart::cpImage);
    ImageList_DrawEx(images, icon, dc, image.Left, image.Top, 0, 0, ColorToRGB(background), CLR_NONE,
                     ILD_NORMAL);
}

void TCustomVirtualExplorerCombobox::Paint() {
    HDC dc = Canvas().Handle();
    buttonRect_ = GetPartRect(TComboPart::cpButton);
    if (themed_)
        PaintThemed(dc);
    else
        PaintClassic(dc);
}

void TCustomVirtualExplorerCombobox::PaintThemed(HDC dc) {
    const RECT client = ClientRect().ToRECT();
    DrawThemeBackground(editTheme_, dc, EP_EDITTEXT, Enabled() ? ETS_NORMAL : ETS_DISABLED, &client, nullptr);
    RECT content = GetPartRect(TComboPart::cpContent).ToRECT();
    HBRUSH fill = CreateSolidBrush(ColorToRGB(Color()));
    FillRect(dc, &content, fill);
    DeleteObject(fill);
    TColor iconBackground = Color();
    if (style_ == 1 && edit_.Focused()) {
        RECT highlight = content;
        highlight.right = buttonRect_.Left - 2;
        InflateRect(&highlight, -2, -2);
        FillRect(dc, &highlight, GetSysColorBrush(COLOR_HIGHLIGHT));
        DrawFocusRect(dc, &highlight);
        iconBackground = clHighlight;
    }
    PaintIcon(dc, iconBackground);
    int state = Enabled() ? CBXS_NORMAL : CBXS_DISABLED;
    if ((mouseState_ & msPressed) != 0)
        state = CBXS_PRESSED;
    if ((mouseState_ & msHot) != 0)
        state = CBXS_HOT;
    const RECT button = buttonRect_.ToRECT();
    DrawThemeBackground(comboTheme_, dc, CP_DROPDOWNBUTTON, state, &button, nullptr);
}

void TCustomVirtualExplorerCombobox::PaintClassic(HDC dc) {
    RECT client = ClientRect().ToRECT();
    HBRUSH fill = CreateSolidBrush(ColorToRGB(Color()));
    FillRect(dc, &client, fill);
    DeleteObject(fill);
    if (border_)
        DrawEdge(dc, &client, EDGE_SUNKEN, BF_RECT | (flat_ ? BF_FLAT : 0));
    RECT content = GetPartRect(TComboPart::cpContent).ToRECT();
    content.right = buttonRect_.Left;
    InflateRect(&content, -1, -1);
    content.bottom += 1;
    TColor iconBackground = Color();
    if (style_ == 1 && edit_.Focused()) {
        FillRect(dc, &content, GetSysColorBrush(COLOR_HIGHLIGHT));
        DrawFocusRect(dc, &content);
        iconBackground = clHighlight;
    }
    PaintIcon(dc, iconBackground);
    RECT button = buttonRect_.ToRECT();
    UINT flags = DFCS_SCROLLCOMBOBOX;
    if ((mouseState_ & msPressed) != 0 || flat_)
        flags |= DFCS_FLAT;
    if ((mouseState_ & msPressed) != 0)
        flags |= DFCS_PUSHED;
    if (!Enabled())
        flags |= DFCS_INACTIVE;
    DrawFrameControl(dc, &button, DFC_SCROLL, flags);
}

} // namespace tarvola
