// The edit window. It is a wide EDIT control throughout (creation, text and measuring), so that cell texts
// outside the system code page survive an edit unchanged.
#include "tree/VTEdit.h"

#include "forms/Application.h"
#include "tree/TreeOptions.h"

#include <algorithm>
#include <stdexcept>

namespace tarvola {

namespace {
constexpr wchar_t ThisProperty[] = L"TarvolaVTEdit";

HFONT CreateCellFont(const TTextFont& font) {
    LOGFONTW description{};
    description.lfHeight = font.Height;
    description.lfWeight = (font.Style & TextFontBold) ? FW_BOLD : FW_NORMAL;
    description.lfItalic = (font.Style & TextFontItalic) ? TRUE : FALSE;
    description.lfUnderline = (font.Style & TextFontUnderline) ? TRUE : FALSE;
    description.lfStrikeOut = (font.Style & TextFontStrikeOut) ? TRUE : FALSE;
    description.lfCharSet = DEFAULT_CHARSET;
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, font.Name.c_str(), -1, description.lfFaceName, LF_FACESIZE);
    if (length == 0)
        description.lfFaceName[0] = L'\0';
    return CreateFontIndirectW(&description);
}
} // namespace

TVTEdit::TVTEdit(HWND parent) : parent_(parent) {}

TVTEdit::~TVTEdit() {
    if (handle_ != nullptr) {
        // The window goes without this object's handling: it is half gone already.
        RemovePropW(handle_, ThisProperty);
        SetWindowLongPtrW(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editProc_));
        DestroyWindow(handle_);
    }
    if (font_ != nullptr)
        DeleteObject(font_);
}

void TVTEdit::Prepare(TCustomVirtualStringTree& tree, const TTextFont& font, const std::wstring& text,
                      bool multiline, TAlignment alignment, bool rightToLeft) {
    tree_ = &tree;
    multiline_ = multiline;
    const bool themed = tree.InState(TreeState::tsUseThemes);
    // Always a multiline EDIT: only those take a formatting rectangle.
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | ES_MULTILINE | (themed ? 0 : WS_BORDER);
    style |= multiline ? (ES_AUTOVSCROLL | WS_VSCROLL) : ES_AUTOHSCROLL;
    if (alignment == TAlignment::taRightJustify)
        style |= ES_RIGHT;
    else if (alignment == TAlignment::taCenter)
        style |= ES_CENTER;
    DWORD exStyle = themed ? WS_EX_CLIENTEDGE : 0;
    if (rightToLeft)
        exStyle |= WS_EX_RTLREADING;
    if (handle_ == nullptr) {
        handle_ = CreateWindowExW(exStyle, L"EDIT", L"", style, 0, 0, 0, 0, parent_, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
        if (handle_ == nullptr)
            throw std::runtime_error("The edit window could not be created.");
        SetPropW(handle_, ThisProperty, this);
        editProc_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TVTEdit::EditProc)));
    }
    if (font_ != nullptr)
        DeleteObject(font_);
    font_ = CreateCellFont(font);
    SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    SetWindowTextW(handle_, text.c_str());
    SendMessageW(handle_, EM_SETMODIFY, FALSE, 0);
}

void TVTEdit::Show() {
    ShowWindow(handle_, SW_SHOW);
    SendMessageW(handle_, EM_SETSEL, 0, -1);
    SetFocus(handle_);
}

void TVTEdit::Hide() {
    if (handle_ != nullptr)
        ShowWindow(handle_, SW_HIDE);
}

std::wstring TVTEdit::Text() const {
    if (handle_ == nullptr)
        return {};
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(handle_)) + 1, L'\0');
    const int length = GetWindowTextW(handle_, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(std::max(length, 0)));
    return text;
}

bool TVTEdit::Modified() const {
    return handle_ != nullptr && SendMessageW(handle_, EM_GETMODIFY, 0, 0) != 0;
}

TTreeRect TVTEdit::Bounds() const {
    RECT rect{};
    if (handle_ != nullptr) {
        GetWindowRect(handle_, &rect);
        MapWindowPoints(nullptr, parent_, reinterpret_cast<POINT*>(&rect), 2);
    }
    return {rect.left, rect.top, rect.right, rect.bottom};
}

void TVTEdit::SetBounds(const TTreeRect& bounds, int textTop) {
    if (handle_ == nullptr)
        return;
    MoveWindow(handle_, bounds.Left, bounds.Top, bounds.Right - bounds.Left, bounds.Bottom - bounds.Top,
               TRUE);
    const int inset = tree_ != nullptr && tree_->InState(TreeState::tsUseThemes) ? 3 : 2;
    const int margin = tree_ != nullptr ? tree_->Look.TextMargin : 0;
    RECT format{};
    GetClientRect(handle_, &format);
    InflateRect(&format, inset - margin, inset);
    if (!multiline_)
        OffsetRect(&format, 0, textTop - bounds.Top);
    SendMessageW(handle_, EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&format));
}

void TVTEdit::ProcessMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    if (handle_ != nullptr)
        CallWindowProcW(&TVTEdit::EditProc, handle_, message, wParam, lParam);
}

void TVTEdit::FocusTree() {
    SetFocus(parent_);
}

void TVTEdit::Release() {
    if (handle_ != nullptr)
        PostMessageW(handle_, WM_VTEDIT_RELEASE, 0, 0);
    else
        delete this;
}

int TVTEdit::TextWidth(const std::wstring& text) const {
    HDC dc = GetDC(handle_);
    HGDIOBJ old = SelectObject(dc, font_);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(handle_, dc);
    return size.cx;
}

void TVTEdit::AutoAdjustSize() {
    if (handle_ == nullptr || tree_ == nullptr || multiline_ || !link_ ||
        tree_->TreeOptions().MiscOptions().Has(TVTMiscOption::toGridExtensions))
        return;
    SendMessageW(handle_, WM_SETREDRAW, FALSE, 0);
    const int width = TextWidth(Text()) + 2 * tree_->Look.TextMargin;
    TTreeRect bounds = Bounds();
    if (bounds.Right - bounds.Left > width)
        tree_->InvalidateNode(link_->Node());
    if (link_->Alignment() == TAlignment::taRightJustify)
        bounds.Left = bounds.Right - width;
    else
        bounds.Right = bounds.Left + width;
    link_->SetBounds(bounds);
    SendMessageW(handle_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(handle_, nullptr, TRUE);
}

LRESULT CALLBACK TVTEdit::EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* edit = static_cast<TVTEdit*>(GetPropW(window, ThisProperty));
    if (edit == nullptr)
        return DefWindowProcW(window, message, wParam, lParam);
    LRESULT result = 0;
    GuardCallback([&] { result = edit->HandleMessage(message, wParam, lParam); });
    return result;
}

LRESULT TVTEdit::Default(UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(editProc_, handle_, message, wParam, lParam);
}

LRESULT TVTEdit::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    // The link may let go of itself while it handles a message: hold it until the message is done.
    const std::shared_ptr<TStringEditLink> link = link_;
    switch (message) {
    case WM_GETDLGCODE:
        return Default(message, wParam, lParam) | DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_WANTARROWS;
    case WM_KEYDOWN:
        if (link) {
            const bool ctrl = GetKeyState(VK_CONTROL) < 0;
            const TEditKeyResult result = link->KeyDown(static_cast<unsigned>(wParam), ctrl);
            if (result.Action != TEditKeyAction::PassOn)
                return 0;
            wParam = result.Key;
        }
        break;
    case WM_CHAR:
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
    case WM_UNDO: {
        if (message == WM_CHAR && EditCharSwallowed(static_cast<wchar_t>(wParam)))
            return 0;
        const LRESULT answer = Default(message, wParam, lParam);
        if (link && !link->Stopping())
            AutoAdjustSize();
        return answer;
    }
    case WM_KILLFOCUS:
        if (link)
            link->FocusLost();
        break;
    case WM_DESTROY:
        if (link)
            link->ControlDestroyed();
        break;
    case WM_NCDESTROY: {
        const LRESULT answer = Default(message, wParam, lParam);
        RemovePropW(handle_, ThisProperty);
        handle_ = nullptr;
        return answer;
    }
    case WM_VTEDIT_RELEASE:
        delete this;
        return 0;
    default:
        break;
    }
    return Default(message, wParam, lParam);
}

} // namespace tarvola
