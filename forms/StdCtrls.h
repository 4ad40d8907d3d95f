// The standard controls: button, label, static text, edit, check box, radio button, group box and combo box.
// Value controls fire their change event whenever the value changes, by the user or by code; setting the
// value they already hold fires nothing.
#pragma once

#include "forms/Controls.h"

#include <string>
#include <vector>

namespace tarvola {

class TButton : public TWinControl {
public:
    explicit TButton(TComponent* owner);

    // Enter clicks the default button of the form, Esc its cancel button.
    bool Default() const { return default_; }
    void SetDefault(bool isDefault);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool cancel) { cancel_ = cancel; }
    // Set on the form when the button is clicked (which ends a modal run).
    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult result) { modalResult_ = result; }

    void Click() override;
    void SetProperty(std::string_view name, std::string_view value) override;

protected:
    void CreateParams(TCreateParams& params) override;
    bool CommandNotify(WORD code) override;

private:
    bool default_ = false;
    bool cancel_ = false;
    TModalResult modalResult_ = mrNone;
};

TModalResult PropModalResult(std::string_view value, std::string_view property);

enum class TTextLayout { tlTop, tlCenter, tlBottom };

// A label without a window: its parent paints it and hands it the mouse (click, enter, leave).
class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* owner);

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);
    // Sizes the label to its text (with WordWrap only its height).
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool wordWrap);
    // Draws the text over whatever the parent painted beneath it.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent);
    // "&" marks a mnemonic; off, the text is shown as it is.
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool show);
    TTextLayout Layout() const { return layout_; }
    void SetLayout(TTextLayout layout);

    void Paint(TCanvas& canvas) override;
    void SetProperty(std::string_view name, std::string_view value) override;

protected:
    void TextChanged() override;
    void FontChanged() override;
    void ParentChanged() override { AdjustSize(); }
    void Loaded() override { AdjustSize(); }

private:
    UINT TextFormat() const;
    void AdjustSize();

    TAlignment alignment_ = TAlignment::taLeftJustify;
    bool autoSize_ = true;
    bool wordWrap_ = false;
    bool transparent_ = false;
    bool showAccelChar_ = true;
    TTextLayout layout_ = TTextLayout::tlTop;
};

// A static text control with a window.
class TStaticText : public TWinControl {
public:
    explicit TStaticText(TComponent* owner);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);
    void SetProperty(std::string_view name, std::string_view value) override;

protected:
    void CreateParams(TCreateParams& params) override;
    bool CommandNotify(WORD code) override;

private:
    TAlignment alignment_ = TAlignment::taLeftJustify;
};

class TEdit : public TWinControl {
public:
    explicit TEdit(TComponent* owner);

    // At most this many characters can be typed; 0: no limit.
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int length);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly);
    void SelectAll();

    TNotifyEvent OnChange;

    void SetProperty(std::string_view name, std::string_view value) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void InitializeHandle() override;
    bool CommandNotify(WORD code) override;
    void TextChanged() override;
    virtual void Change();

private:
    int maxLength_ = 0;
    bool readOnly_ = false;
    bool settingText_ = false;
};

// A check box; OnClick fires whenever Checked changes.
class TCheckBox : public TWinControl {
public:
    explicit TCheckBox(TComponent* owner);
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);
    void SetProperty(std::string_view name, std::string_view value) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void InitializeHandle() override;
    bool CommandNotify(WORD code) override;

private:
    bool checked_ = false;
};

// A radio button; checking it unchecks the radio buttons beside it (same parent). OnClick fires when it
// becomes checked.
class TRadioButton : public TWinControl {
public:
    explicit TRadioButton(TComponent* owner);
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);
    void SetProperty(std::string_view name, std::string_view value) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void InitializeHandle() override;
    bool CommandNotify(WORD code) override;

private:
    void ShowCheck();
    bool checked_ = false;
};

// A frame with a caption around other controls. Its font is the caption's: the controls in it take the font
// of the group box's own parent.
class TGroupBox : public TCustomControl {
public:
    explicit TGroupBox(TComponent* owner);
    const TFont& FontForChildren() const override;

protected:
    void Paint() override;
};

enum class TComboBoxStyle { csDropDown, csDropDownList };

// A combo box. OnSelect fires when the user picks an item; OnChange whenever the text changes (user or code).
class TComboBox : public TWinControl {
public:
    explicit TComboBox(TComponent* owner);

    TComboBoxStyle Style() const { return style_; }
    void SetStyle(TComboBoxStyle style);
    const std::vector<std::string>& Items() const { return items_; }
    void SetItems(std::vector<std::string> items);
    // -1: no item.
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int index);
    // Shows the item of that text (or, in a drop-down, the text itself).
    void SetText(std::string_view text);

    TNotifyEvent OnSelect;
    TNotifyEvent OnChange;

    void SetProperty(std::string_view name, std::string_view value) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void InitializeHandle() override;
    void BoundsChanged() override;
    bool CommandNotify(WORD code) override;

private:
    void Changed();
    void ShowSelection();
    static constexpr int kDropDownHeight = 200;

    TComboBoxStyle style_ = TComboBoxStyle::csDropDown;
    std::vector<std::string> items_;
    int itemIndex_ = -1;
};

} // namespace tarvola
