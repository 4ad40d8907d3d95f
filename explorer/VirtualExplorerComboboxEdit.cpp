// The combo box's edit: typing opens the auto-complete list, Enter reads the text as a path.
#include "explorer/VirtualExplorerCombobox.h"

#include "explorer/VirtualExplorerComboboxRules.h"
#include "shell/VirtualShellUtilities.h"
#include "shell/VirtualUtilities.h"

namespace tarvola {

namespace {

constexpr TColor clHighlightText = clSystemColor | COLOR_HIGHLIGHTTEXT;

std::unique_ptr<TNamespace> ChildItem(PItemIDList child, TNamespace& parent) {
    const TPIDLManager& manager = TShellLayer::Get().PIDLMgr();
    PItemIDList absolute = manager.AppendPIDL(parent.AbsolutePIDL(), child);
    manager.FreePIDL(child);
    return absolute == nullptr ? nullptr : std::make_unique<TNamespace>(absolute, nullptr);
}

// The first child of folder whose display name is name (ignoring case).
std::unique_ptr<TNamespace> ChildNamed(TNamespace& folder, const WideString& name, bool nonFolders) {
    std::unique_ptr<TNamespace> found;
    folder.EnumerateFolder(
        true, nonFolders, false, [&](PItemIDList child, TNamespace& parent, bool& terminate) {
            std::unique_ptr<TNamespace> item = ChildItem(child, parent);
            if (item != nullptr && PlatformText().CompareText(item->NameNormal(), name) == 0) {
                found = std::move(item);
                terminate = true;
            }
            return true;
        });
    return found;
}

} // namespace

TComboEdit::TComboEdit(TComponent* owner, TCustomVirtualExplorerCombobox& box) : TEdit(owner), box_(box) {
    SetTabStop(true);
}

void TComboEdit::SetStyle(std::uint8_t style) {
    style_ = style;
    SetReadOnly(style == 1);
}

void TComboEdit::CreateParams(TCreateParams& params) {
    TEdit::CreateParams(params);
    params.exStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
}

void TComboEdit::InitializeHandle() {
    TEdit::InitializeHandle();
    modified_ = false;
}

WideString TComboEdit::WideText() const {
    if (!HandleAllocated())
        return Utf8ToWide(Text());
    const int length = GetWindowTextLengthW(Handle());
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(Handle(), text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return WideString(text.begin(), text.end());
}

void TComboEdit::SetWideText(const WideString& text, bool selectAll) {
    StoreCaption(WideToUtf8(text));
    if (HandleAllocated()) {
        settingText_ = true;
        const std::wstring wide(text.begin(), text.end());
        SetWindowTextW(Handle(), wide.c_str());
        settingText_ = false;
        if (selectAll && style_ == 0)
            PostMessageW(Handle(), EM_SETSEL, 0, -1);
    }
    modified_ = false;
    box_.Invalidate();
}

bool TComboEdit::CommandNotify(WORD code) {
    if (code != EN_CHANGE)
        return false;
    if (settingText_)
        return true;
    StoreCaption(WideToUtf8(WideText()));
    if (!modified_) {
        // The icon stands for the item, not for what is being typed.
        modified_ = true;
        box_.Invalidate();
    }
    if (typing_ && box_.Active())
        box_.ShowAutoComplete(true);
    Change();
    return true;
}

LRESULT TComboEdit::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN: {
        typing_ = true;
        return TEdit::WndProc(message, wParam, lParam);
    }
    case WM_KEYUP: {
        const LRESULT result = TEdit::WndProc(message, wParam, lParam);
        typing_ = false;
        return result;
    }
    case WM_CHAR:
        if (wParam == VK_RETURN && box_.Active()) {
            AcceptEditText();
            return 0;
        }
        break;
    case WM_GETDLGCODE:
        // Enter is the box's: it accepts the typed path.
        return TEdit::WndProc(message, wParam, lParam) | DLGC_WANTALLKEYS;
    case WM_SYSKEYDOWN:
        if (wParam == VK_DOWN) {
            box_.ShowAutoComplete(false);
            return 0;
        }
        break;
    case WM_LBUTTONDOWN:
        if (style_ == 1) {
            box_.ShowAutoComplete(false);
            return 0;
        }
        break;
    case WM_SETFOCUS:
        savedColor_ = Color();
        savedFontColor_ = Font().Color();
        if (style_ == 1) {
            SetColor(clHighlight);
            Font().SetColor(clHighlightText);
            box_.Invalidate();
        } else {
            PostMessageW(Handle(), EM_SETSEL, 0, -1);
        }
        break;
    case WM_KILLFOCUS:
        SetColor(savedColor_);
        Font().SetColor(savedFontColor_);
        box_.Invalidate();
        break;
    case WM_PAINT:
        if (style_ == 1 && GetFocus() == Handle())
            HideCaret(Handle());
        break;
    default:
        break;
    }
    return TEdit::WndProc(message, wParam, lParam);
}

void TComboEdit::DoInvalidPath(const WideString& path) {
    if (box_.OnInvalidPath) {
        box_.OnInvalidPath(box_, path);
        return;
    }
    WideMessageBox(nullptr, u"Invalid Path",
                   u"Windows can not find \"" + path + u"\" Please check the spelling and try again.");
}

void TComboEdit::AcceptEditText() {
    if (style_ != 0)
        return;
    const WideString typed = WideText();
    if (typed.empty())
        return;
    const WideString text = NormalizeTypedPath(typed);
    if (text.size() > 2 && text.starts_with(u"\\\\")) {
        if (!AcceptNetworkPath(text)) {
            DoInvalidPath(text);
            const auto start = FirstMissingComponent(text, WideDirectoryExists);
            SendMessageW(Handle(), EM_SETSEL, static_cast<WPARAM>(start), -1);
        }
        return;
    }
    if (AcceptDirectory(text) || AcceptNamedFolder(text) || AcceptFile(text) || AcceptDesktopChild(text))
        return;
    DoInvalidPath(text);
    if (HandleAllocated()) {
        const auto start = FirstMissingComponent(text, WideDirectoryExists);
        SendMessageW(Handle(), EM_SETSEL, static_cast<WPARAM>(start), -1);
    }
}

bool TComboEdit::AcceptNetworkPath(const WideString& text) {
    PItemIDList pidl = PathToPIDL(text);
    if (pidl == nullptr)
        return false;
    TNamespace item(pidl, nullptr);
    box_.SetNamespace(&item);
    return true;
}

bool TComboEdit::AcceptDirectory(const WideString& text) {
    if (!WideDirectoryExists(text))
        return false;
    std::unique_ptr<TNamespace> item = TNamespace::CreateFromFileName(text);
    if (item == nullptr)
        return true; // a folder that parses to nothing changes nothing
    box_.SetNamespace(item.get());
    SelectAll();
    return true;
}

bool TComboEdit::AcceptNamedFolder(const WideString& text) {
    const TShellLayer& layer = TShellLayer::Get();
    for (const TSpecialFolder special : {TSpecialFolder::Desktop, TSpecialFolder::MyComputer}) {
        TNamespace* folder = layer.Special(special);
        if (folder == nullptr)
            continue;
        if (std::unique_ptr<TNamespace> item = ChildNamed(*folder, text, false)) {
            box_.SetNamespace(item.get());
            SelectAll();
            return true;
        }
    }
    return false;
}

bool TComboEdit::AcceptFile(const WideString& text) {
    if (!WideFileExists(text))
        return false;
    if (std::unique_ptr<TNamespace> item = TNamespace::CreateFromFileName(text))
        OpenFile(*item, text);
    return true;
}

void TComboEdit::OpenFile(TNamespace& item, const WideString& text) {
    box_.SetNamespace(nullptr);
    box_.SetIconIndex(DefaultSystemImageIndex(TDefaultSystemImage::MyDocuments));
    item.ShellExecuteNamespace(WideString(), WideString());
    SetWideText(text, false);
    SelectAll();
}

bool TComboEdit::AcceptDesktopChild(const WideString& text) {
    TNamespace* desktop = TShellLayer::Get().Special(TSpecialFolder::Desktop);
    if (desktop == nullptr)
        return false;
    if (PlatformText().CompareText(desktop->NameNormal(), text) == 0) {
        box_.SetNamespace(desktop);
        SelectAll();
        return true;
    }
    std::unique_ptr<TNamespace> item = ChildNamed(*desktop, text, true);
    if (item == nullptr)
        return false;
    if (item->Folder()) {
        box_.SetNamespace(item.get());
        SelectAll();
        return true;
    }
    if (WideFileExists(item->NameParseAddress())) {
        OpenFile(*item, text);
        return true;
    }
    return false;
}

} // namespace tarvola
