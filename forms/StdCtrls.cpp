#include "forms/StdCtrls.h"

#include "forms/Form.h"

#include <algorithm>

namespace tarvola {

TModalResult PropModalResult(std::string_view value, std::string_view property) {
    return PropChoice<TModalResult>(value, property,
                                    {{"mrNone", mrNone},
                                     {"mrOk", mrOk},
                                     {"mrCancel", mrCancel},
                                     {"mrAbort", mrAbort},
                                     {"mrRetry", mrRetry},
                                     {"mrIgnore", mrIgnore},
                                     {"mrYes", mrYes},
                                     {"mrNo", mrNo}});
}

// ---- TButton

TButton::TButton(TComponent* owner) : TWinControl(owner) {
    SetTabStop(true);
    SetBounds(0, 0, 75, 25);
}

void TButton::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.className = "BUTTON";
    params.style |= default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    params.exStyle = 0;
}

void TButton::SetDefault(bool isDefault) {
    default_ = isDefault;
    if (HandleAllocated()) {
        SendMessageA(Handle(), BM_SETSTYLE, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
    }
}

bool TButton::CommandNotify(WORD code) {
    if (code != BN_CLICKED) {
        return false;
    }
    Click();
    return true;
}

void TButton::Click() {
    if (modalResult_ != mrNone) {
        if (TForm* form = ParentForm()) {
            form->SetModalResult(modalResult_);
        }
    }
    TWinControl::Click();
}

void TButton::SetProperty(std::string_view name, std::string_view value) {
    if (name == "Default") {
        SetDefault(PropBoolean(value, name));
    } else if (name == "Cancel") {
        SetCancel(PropBoolean(value, name));
    } else if (name == "ModalResult") {
        SetModalResult(PropModalResult(value, name));
    } else {
        TWinControl::SetProperty(name, value);
    }
}

// ---- TLabel

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
    SetParentColor(true);
    SetBounds(0, 0, 65, 13);
}

UINT TLabel::TextFormat() const {
    UINT format = DT_EXPANDTABS;
    switch (alignment_) {
    case TAlignment::taRightJustify:
        format |= DT_RIGHT;
        break;
    case TAlignment::taCenter:
        format |= DT_CENTER;
        break;
    case TAlignment::taLeftJustify:
        format |= DT_LEFT;
        break;
    }
    if (wordWrap_) {
        format |= DT_WORDBREAK;
    } else if (layout_ != TTextLayout::tlTop) {
        format |= DT_SINGLELINE | (layout_ == TTextLayout::tlCenter ? DT_VCENTER : DT_BOTTOM);
    }
    if (!showAccelChar_) {
        format |= DT_NOPREFIX;
    }
    return format;
}

void TLabel::AdjustSize() {
    if (!autoSize_ || Loading()) {
        Invalidate();
        return;
    }
    HDC screen = GetDC(nullptr);
    TRect area{0, 0, wordWrap_ ? std::max(Width(), 1) : 0, 0};
    {
        TCanvas canvas(screen);
        canvas.Font.Assign(Font());
        const std::string measured = Caption().empty() ? std::string(" ") : Caption();
        canvas.TextInRect(area, measured, (TextFormat() & ~(DT_VCENTER | DT_BOTTOM)) | DT_CALCRECT);
    }
    ReleaseDC(nullptr, screen);
    int left = Left();
    const int width = wordWrap_ ? Width() : area.Width();
    if (!wordWrap_ && alignment_ == TAlignment::taRightJustify) {
        left = Left() + Width() - width;
    } else if (!wordWrap_ && alignment_ == TAlignment::taCenter) {
        left = Left() + (Width() - width) / 2;
    }
    SetBounds(left, Top(), width, area.Height());
    Invalidate();
}

void TLabel::Paint(TCanvas& canvas) {
    TRect area = ClientRect();
    if (!transparent_) {
        canvas.Brush.Color = Color();
        canvas.Brush.Style = TBrushStyle::bsSolid;
        canvas.FillRect(area);
    }
    canvas.Brush.Style = TBrushStyle::bsClear;
    canvas.Font.Assign(Font());
    if (!Enabled()) {
        TRect shadow{1, 1, area.Right + 1, area.Bottom + 1};
        canvas.Font.SetColor(clBtnHighlight);
        canvas.TextInRect(shadow, Caption(), TextFormat());
        canvas.Font.SetColor(clGrayText);
    }
    canvas.TextInRect(area, Caption(), TextFormat());
}

void TLabel::TextChanged() {
    AdjustSize();
}

void TLabel::FontChanged() {
    AdjustSize();
}

void TLabel::SetAlignment(TAlignment alignment) {
    alignment_ = alignment;
    Invalidate();
}

void TLabel::SetAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    AdjustSize();
}

void TLabel::SetWordWrap(bool wordWrap) {
    wordWrap_ = wordWrap;
    AdjustSize();
}

void TLabel::SetTransparent(bool transparent) {
    transparent_ = transparent;
    Invalidate();
}

void TLabel::SetShowAccelChar(bool show) {
    showAccelChar_ = show;
    AdjustSize();
}

void TLabel::SetLayout(TTextLayout layout) {
    layout_ = layout;
    Invalidate();
}

void TLabel::SetProperty(std::string_view name, std::string_view value) {
    if (name == "Alignment") {
        SetAlignment(PropAlignment(value, name));
    } else if (name == "AutoSize") {
        SetAutoSize(PropBoolean(value, name));
    } else if (name == "WordWrap") {
        SetWordWrap(PropBoolean(value, name));
    } else if (name == "Transparent") {
        SetTransparent(PropBoolean(value, name));
    } else if (name == "ShowAccelChar") {
        SetShowAccelChar(PropBoolean(value, name));
    } else if (name == "Layout") {
        SetLayout(PropChoice<TTextLayout>(value, name,
                                          {{"tlTop", TTextLayout::tlTop},
                                           {"tlCenter", TTextLayout::tlCenter},
                                           {"tlBottom", TTextLayout::tlBottom}}));
    } else {
        TGraphicControl::SetProperty(name, value);
    }
}

// ---- TStaticText

TStaticText::TStaticText(TComponent* owner) : TWinControl(owner) {
    SetParentColor(true);
    SetBounds(0, 0, 65, 17);
}

void TStaticText::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.className = "STATIC";
    params.exStyle = 0;
    params.style |= SS_NOTIFY | SS_NOPREFIX;
    params.style |= alignment_ == TAlignment::taCenter         ? SS_CENTER
                    : alignment_ == TAlignment::taRightJustify ? SS_RIGHT
                                                               : SS_LEFT;
}

void TStaticText::SetAlignment(TAlignment alignment) {
    alignment_ = alignment;
    RecreateWnd();
}

bool TStaticText::CommandNotify(WORD code) {
    if (code == STN_CLICKED) {
        Click();
        return true;
    }
    if (code == STN_DBLCLK) {
        DblClick();
        return true;
    }
    return false;
}

void TStaticText::SetProperty(std::string_view name, std::string_view value) {
    if (name == "Alignment") {
        SetAlignment(PropAlignment(value, name));
    } else {
        TWinControl::SetProperty(name, value);
    }
}

// ---- TEdit

TEdit::TEdit(TComponent* owner) : TWinControl(owner) {
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 121, 21);
}

void TEdit::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.className = "EDIT";
    params.style |= ES_AUTOHSCROLL;
    params.exStyle = WS_EX_CLIENTEDGE;
}

void TEdit::InitializeHandle() {
    TWinControl::InitializeHandle();
    SendMessageA(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
    SendMessageA(Handle(), EM_SETREADONLY, readOnly_, 0);
}

void TEdit::SetMaxLength(int length) {
    maxLength_ = std::max(length, 0);
    if (HandleAllocated()) {
        SendMessageA(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
    }
}

void TEdit::SetReadOnly(bool readOnly) {
    readOnly_ = readOnly;
    if (HandleAllocated()) {
        SendMessageA(Handle(), EM_SETREADONLY, readOnly_, 0);
    }
}

void TEdit::SelectAll() {
    if (HandleAllocated()) {
        SendMessageA(Handle(), EM_SETSEL, 0, -1);
    }
}

void TEdit::TextChanged() {
    if (HandleAllocated()) {
        settingText_ = true;
        SetWindowTextA(Handle(), Caption().c_str());
        settingText_ = false;
    }
    Change();
}

bool TEdit::CommandNotify(WORD code) {
    if (code != EN_CHANGE) {
        return false;
    }
    if (settingText_) {
        return true;
    }
    const int length = GetWindowTextLengthA(Handle());
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    GetWindowTextA(Handle(), text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(length, 0)));
    if (text != Caption()) {
        StoreCaption(std::move(text));
        Change();
    }
    return true;
}

void TEdit::Change() {
    if (OnChange) {
        OnChange(*this);
    }
}

void TEdit::SetProperty(std::string_view name, std::string_view value) {
    if (name == "MaxLength") {
        SetMaxLength(PropInteger(value, name));
    } else if (name == "ReadOnly") {
        SetReadOnly(PropBoolean(value, name));
    } else {
        TWinControl::SetProperty(name, value);
    }
}

// ---- TCheckBox

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner) {
    SetTabStop(true);
    SetParentColor(true);
    SetBounds(0, 0, 97, 17);
}

void TCheckBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.className = "BUTTON";
    params.style |= BS_CHECKBOX;
    params.exStyle = 0;
}

void TCheckBox::InitializeHandle() {
    TWinControl::InitializeHandle();
    SendMessageA(Handle(), BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TCheckBox::SetChecked(bool checked) {
    if (checked == checked_) {
        return;
    }
    checked_ = checked;
    if (HandleAllocated()) {
        SendMessageA(Handle(), BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    Click();
}

bool TCheckBox::CommandNotify(WORD code) {
    if (code != BN_CLICKED) {
        return false;
    }
    SetChecked(!checked_);
    return true;
}

void TCheckBox::SetProperty(std::string_view name, std::string_view value) {
    if (name == "Checked") {
        SetChecked(PropBoolean(value, name));
    } else {
        TWinControl::SetProperty(name, value);
    }
}

// ---- TRadioButton

TRadioButton::TRadioButton(TComponent* owner) : TWinControl(owner) {
    SetTabStop(true);
    SetParentColor(true);
    SetBounds(0, 0, 113, 17);
}

void TRadioButton::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.className = "BUTTON";
    params.style |= BS_RADIOBUTTON;
    params.exStyle = 0;
    // Radio buttons standing one after the other form one group for the arrow keys.
    if (TWinControl* parent = Parent()) {
        for (int i = parent->ControlCount() - 1; i >= 0; --i) {
            TControl& sibling = parent->Controls(i);
            if (&sibling == this || dynamic_cast<TWinControl*>(&sibling) == nullptr) {
                continue;
            }
            if (dynamic_cast<TRadioButton*>(&sibling) != nullptr &&
                static_cast<TWinControl&>(sibling).HandleAllocated()) {
                params.style &= ~static_cast<DWORD>(WS_GROUP);
            }
            break;
        }
    }
}

void TRadioButton::InitializeHandle() {
    TWinControl::InitializeHandle();
    ShowCheck();
}

void TRadioButton::ShowCheck() {
    if (HandleAllocated()) {
        SendMessageA(Handle(), BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

void TRadioButton::SetChecked(bool checked) {
    if (checked == checked_) {
        return;
    }
    checked_ = checked;
    ShowCheck();
    if (!checked_) {
        return;
    }
    if (TWinControl* parent = Parent()) {
        for (int i = 0; i < parent->ControlCount(); ++i) {
            auto* sibling = dynamic_cast<TRadioButton*>(&parent->Controls(i));
            if (sibling != nullptr && sibling != this && sibling->checked_) {
                sibling->checked_ = false;
                sibling->ShowCheck();
            }
        }
    }
    Click();
}

bool TRadioButton::CommandNotify(WORD code) {
    if (code != BN_CLICKED) {
        return false;
    }
    SetChecked(true);
    return true;
}

void TRadioButton::SetProperty(std::string_view name, std::string_view value) {
    if (name == "Checked") {
        SetChecked(PropBoolean(value, name));
    } else {
        TWinControl::SetProperty(name, value);
    }
}

// ---- TGroupBox

TGroupBox::TGroupBox(TComponent* owner) : TCustomControl(owner) {
    SetParentColor(true);
    SetBounds(0, 0, 185, 105);
}

const TFont& TGroupBox::FontForChildren() const {
    return Parent() != nullptr ? Parent()->FontForChildren() : Font();
}

void TGroupBox::Paint() {
    TCanvas& canvas = Canvas();
    canvas.Brush.Color = Color();
    canvas.Brush.Style = TBrushStyle::bsSolid;
    canvas.FillRect(ClientRect());
    canvas.Font.Assign(Font());
    const int textHeight = canvas.TextHeight("0");
    RECT frame{0, textHeight / 2, ClientWidth(), ClientHeight()};
    DrawEdge(canvas.Handle(), &frame, EDGE_ETCHED, BF_RECT);
    if (Caption().empty()) {
        return;
    }
    TRect text{8, 0, ClientWidth() - 8, textHeight};
    canvas.TextInRect(text, Caption(), DT_SINGLELINE | DT_CALCRECT);
    text.Left -= 1;
    text.Right += 1;
    canvas.FillRect(text);
    if (!Enabled()) {
        canvas.Font.SetColor(clGrayText);
    }
    canvas.Brush.Style = TBrushStyle::bsClear;
    text.Left += 1;
    canvas.TextInRect(text, Caption(), DT_SINGLELINE);
}

} // namespace tarvola

namespace tarvola {

// ---- TComboBox

TComboBox::TComboBox(TComponent* owner) : TWinControl(owner) {
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 145, 21);
}

void TComboBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.className = "COMBOBOX";
    params.exStyle = 0;
    params.style |= WS_VSCROLL | CBS_AUTOHSCROLL |
                    (style_ == TComboBoxStyle::csDropDownList ? CBS_DROPDOWNLIST : CBS_DROPDOWN);
}

void TComboBox::InitializeHandle() {
    TWinControl::InitializeHandle();
    for (const std::string& item : items_) {
        SendMessageA(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
    ShowSelection();
    BoundsChanged();
}

void TComboBox::BoundsChanged() {
    // The window's height includes the drop-down list; the control's is the closed box.
    if (HandleAllocated()) {
        SetWindowPos(Handle(), nullptr, Left(), Top(), Width(), Height() + kDropDownHeight,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void TComboBox::ShowSelection() {
    if (!HandleAllocated()) {
        return;
    }
    SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(itemIndex_), 0);
    if (itemIndex_ < 0 && style_ == TComboBoxStyle::csDropDown) {
        SetWindowTextA(Handle(), Caption().c_str());
    }
}

void TComboBox::SetStyle(TComboBoxStyle style) {
    style_ = style;
    RecreateWnd();
}

void TComboBox::SetItems(std::vector<std::string> items) {
    items_ = std::move(items);
    itemIndex_ = -1;
    if (HandleAllocated()) {
        SendMessageA(Handle(), CB_RESETCONTENT, 0, 0);
        for (const std::string& item : items_) {
            SendMessageA(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        }
    }
    SetItemIndex(-1);
}

void TComboBox::SetItemIndex(int index) {
    if (index < -1 || index >= static_cast<int>(items_.size())) {
        throw EComponentError("Combo box index out of range");
    }
    itemIndex_ = index;
    const std::string text = index >= 0 ? items_[static_cast<std::size_t>(index)] : std::string();
    const bool changed = text != Caption();
    StoreCaption(text);
    ShowSelection();
    if (changed) {
        Changed();
    }
}

void TComboBox::SetText(std::string_view text) {
    auto found = std::find(items_.begin(), items_.end(), text);
    if (found != items_.end()) {
        SetItemIndex(static_cast<int>(found - items_.begin()));
        return;
    }
    if (style_ == TComboBoxStyle::csDropDownList) {
        SetItemIndex(-1);
        return;
    }
    itemIndex_ = -1;
    const bool changed = text != Caption();
    StoreCaption(std::string(text));
    ShowSelection();
    if (changed) {
        Changed();
    }
}

bool TComboBox::CommandNotify(WORD code) {
    if (code == CBN_SELCHANGE) {
        const int index = static_cast<int>(SendMessageA(Handle(), CB_GETCURSEL, 0, 0));
        if (index >= 0 && index < static_cast<int>(items_.size())) {
            itemIndex_ = index;
            const bool changed = items_[static_cast<std::size_t>(index)] != Caption();
            StoreCaption(items_[static_cast<std::size_t>(index)]);
            if (OnSelect) {
                OnSelect(*this);
            }
            if (changed) {
                Changed();
            }
        }
        return true;
    }
    if (code == CBN_EDITCHANGE) {
        const int length = GetWindowTextLengthA(Handle());
        std::string text(static_cast<std::size_t>(std::max(length, 0)) + 1, '\0');
        GetWindowTextA(Handle(), text.data(), length + 1);
        text.resize(static_cast<std::size_t>(std::max(length, 0)));
        itemIndex_ = -1;
        if (text != Caption()) {
            StoreCaption(std::move(text));
            Changed();
        }
        return true;
    }
    return false;
}

void TComboBox::Changed() {
    if (OnChange) {
        OnChange(*this);
    }
}

void TComboBox::SetProperty(std::string_view name, std::string_view value) {
    if (name == "Style") {
        SetStyle(PropChoice<TComboBoxStyle>(value, name,
                                            {{"csDropDown", TComboBoxStyle::csDropDown},
                                             {"csDropDownList", TComboBoxStyle::csDropDownList}}));
    } else if (name == "Items") {
        SetItems(PropItems(value));
    } else if (name == "ItemIndex") {
        SetItemIndex(PropInteger(value, name));
    } else if (name == "Text") {
        SetText(value);
    } else {
        TWinControl::SetProperty(name, value);
    }
}

} // namespace tarvola
