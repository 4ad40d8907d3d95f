#include "forms/ExtCtrls.h"

#include "forms/Application.h"

#include <algorithm>

namespace tarvola {

namespace {

TPanelBevel PropBevel(std::string_view value, std::string_view property) {
    return PropChoice<TPanelBevel>(value, property,
                                   {{"bvNone", TPanelBevel::bvNone},
                                    {"bvLowered", TPanelBevel::bvLowered},
                                    {"bvRaised", TPanelBevel::bvRaised}});
}

void DrawPanelBevel(TCanvas& canvas, TRect& rect, TPanelBevel bevel, int width) {
    if (bevel == TPanelBevel::bvNone) {
        return;
    }
    const bool raised = bevel == TPanelBevel::bvRaised;
    Frame3D(canvas, rect, raised ? clBtnHighlight : clBtnShadow, raised ? clBtnShadow : clBtnHighlight,
            width);
}

} // namespace

void Frame3D(TCanvas& canvas, TRect& rect, TColor topLeft, TColor bottomRight, int width) {
    for (int i = 0; i < width; ++i) {
        canvas.Brush.Style = TBrushStyle::bsSolid;
        canvas.Brush.Color = topLeft;
        canvas.FillRect(TRect{rect.Left, rect.Top, rect.Right - 1, rect.Top + 1});
        canvas.FillRect(TRect{rect.Left, rect.Top, rect.Left + 1, rect.Bottom - 1});
        canvas.Brush.Color = bottomRight;
        canvas.FillRect(TRect{rect.Left, rect.Bottom - 1, rect.Right, rect.Bottom});
        canvas.FillRect(TRect{rect.Right - 1, rect.Top, rect.Right, rect.Bottom});
        rect = TRect{rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1};
    }
}

// ---- TPanel

TPanel::TPanel(TComponent* owner) : TCustomControl(owner) {
    SetBounds(0, 0, 185, 41);
}

void TPanel::Paint() {
    TCanvas& canvas = Canvas();
    TRect rect = ClientRect();
    canvas.Brush.Style = TBrushStyle::bsSolid;
    canvas.Brush.Color = Color();
    canvas.FillRect(rect);
    DrawPanelBevel(canvas, rect, bevelOuter_, bevelWidth_);
    rect = TRect{rect.Left + borderWidth_, rect.Top + borderWidth_, rect.Right - borderWidth_,
                 rect.Bottom - borderWidth_};
    DrawPanelBevel(canvas, rect, bevelInner_, bevelWidth_);
    if (Caption().empty()) {
        return;
    }
    canvas.Font.Assign(Font());
    if (!Enabled()) {
        canvas.Font.SetColor(clGrayText);
    }
    canvas.Brush.Style = TBrushStyle::bsClear;
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS;
    format |= alignment_ == TAlignment::taCenter         ? DT_CENTER
              : alignment_ == TAlignment::taRightJustify ? DT_RIGHT
                                                         : DT_LEFT;
    canvas.TextInRect(rect, Caption(), format);
}

void TPanel::SetBevelOuter(TPanelBevel bevel) {
    bevelOuter_ = bevel;
    Invalidate();
}

void TPanel::SetBevelInner(TPanelBevel bevel) {
    bevelInner_ = bevel;
    Invalidate();
}

void TPanel::SetBevelWidth(int width) {
    bevelWidth_ = std::max(width, 1);
    Invalidate();
}

void TPanel::SetBorderWidth(int width) {
    borderWidth_ = std::max(width, 0);
    Invalidate();
}

void TPanel::SetAlignment(TAlignment alignment) {
    alignment_ = alignment;
    Invalidate();
}

void TPanel::SetProperty(std::string_view name, std::string_view value) {
    if (name == "BevelOuter") {
        SetBevelOuter(PropBevel(value, name));
    } else if (name == "BevelInner") {
        SetBevelInner(PropBevel(value, name));
    } else if (name == "BevelWidth") {
        SetBevelWidth(PropInteger(value, name));
    } else if (name == "BorderWidth") {
        SetBorderWidth(PropInteger(value, name));
    } else if (name == "Alignment") {
        SetAlignment(PropAlignment(value, name));
    } else {
        TCustomControl::SetProperty(name, value);
    }
}

// ---- TBevel

TBevel::TBevel(TComponent* owner) : TGraphicControl(owner) {
    SetParentColor(true);
    SetBounds(0, 0, 50, 50);
}

void TBevel::SetShape(TBevelShape shape) {
    shape_ = shape;
    Invalidate();
}

void TBevel::SetStyle(TBevelStyle style) {
    style_ = style;
    Invalidate();
}

void TBevel::Paint(TCanvas& canvas) {
    RECT rect{0, 0, Width(), Height()};
    const bool raised = style_ == TBevelStyle::bsRaised;
    switch (shape_) {
    case TBevelShape::bsBox:
        DrawEdge(canvas.Handle(), &rect, raised ? EDGE_RAISED : BDR_SUNKENOUTER, BF_RECT);
        break;
    case TBevelShape::bsFrame:
        DrawEdge(canvas.Handle(), &rect, raised ? EDGE_BUMP : EDGE_ETCHED, BF_RECT);
        break;
    case TBevelShape::bsTopLine:
        DrawEdge(canvas.Handle(), &rect, raised ? EDGE_BUMP : EDGE_ETCHED, BF_TOP);
        break;
    case TBevelShape::bsBottomLine:
        rect.top = rect.bottom - 2;
        DrawEdge(canvas.Handle(), &rect, raised ? EDGE_BUMP : EDGE_ETCHED, BF_TOP);
        break;
    case TBevelShape::bsLeftLine:
        DrawEdge(canvas.Handle(), &rect, raised ? EDGE_BUMP : EDGE_ETCHED, BF_LEFT);
        break;
    case TBevelShape::bsRightLine:
        rect.left = rect.right - 2;
        DrawEdge(canvas.Handle(), &rect, raised ? EDGE_BUMP : EDGE_ETCHED, BF_LEFT);
        break;
    case TBevelShape::bsSpacer:
        break;
    }
}

void TBevel::SetProperty(std::string_view name, std::string_view value) {
    if (name == "Shape") {
        SetShape(PropChoice<TBevelShape>(value, name,
                                         {{"bsBox", TBevelShape::bsBox},
                                          {"bsFrame", TBevelShape::bsFrame},
                                          {"bsTopLine", TBevelShape::bsTopLine},
                                          {"bsBottomLine", TBevelShape::bsBottomLine},
                                          {"bsLeftLine", TBevelShape::bsLeftLine},
                                          {"bsRightLine", TBevelShape::bsRightLine},
                                          {"bsSpacer", TBevelShape::bsSpacer}}));
    } else if (name == "Style") {
        SetStyle(PropChoice<TBevelStyle>(
            value, name, {{"bsLowered", TBevelStyle::bsLowered}, {"bsRaised", TBevelStyle::bsRaised}}));
    } else {
        TGraphicControl::SetProperty(name, value);
    }
}

// ---- TRadioGroup

TRadioGroup::TRadioGroup(TComponent* owner) : TGroupBox(owner) {}

TRadioButton& TRadioGroup::Buttons(int index) const {
    if (index < 0 || index >= static_cast<int>(buttons_.size())) {
        throw EComponentError("Radio group index out of range");
    }
    return *buttons_[static_cast<std::size_t>(index)];
}

void TRadioGroup::SetItems(std::vector<std::string> items) {
    items_ = std::move(items);
    if (itemIndex_ >= static_cast<int>(items_.size())) {
        itemIndex_ = -1;
    }
    MakeButtons();
}

void TRadioGroup::MakeButtons() {
    updating_ = true;
    while (!buttons_.empty()) {
        TRadioButton* last = buttons_.back();
        buttons_.pop_back();
        FreeComponent(*last);
    }
    for (std::size_t i = 0; i < items_.size(); ++i) {
        TRadioButton& button = Create<TRadioButton>();
        button.SetCaption(items_[i]);
        button.SetEnabled(Enabled());
        const int index = static_cast<int>(i);
        button.OnClick = [this, index](TObject&) { ButtonClicked(index); };
        buttons_.push_back(&button);
    }
    for (TRadioButton* button : buttons_) {
        button->SetParent(this);
    }
    if (itemIndex_ >= 0) {
        buttons_[static_cast<std::size_t>(itemIndex_)]->SetChecked(true);
    }
    updating_ = false;
    ArrangeButtons();
}

void TRadioGroup::ArrangeButtons() {
    if (buttons_.empty()) {
        return;
    }
    const int count = static_cast<int>(buttons_.size());
    const int columns = std::clamp(columns_, 1, count);
    const int rows = (count + columns - 1) / columns;
    const int textHeight = std::max(-Font().Height(), 8);
    const int topMargin = textHeight + 5;
    const int columnWidth = (Width() - 10) / columns;
    const int buttonHeight = std::max((Height() - topMargin - 4) / rows, 1);
    for (int i = 0; i < count; ++i) {
        const int column = i / rows;
        const int row = i % rows;
        buttons_[static_cast<std::size_t>(i)]->SetBounds(8 + column * columnWidth,
                                                         topMargin + row * buttonHeight,
                                                         std::max(columnWidth - 10, 1), buttonHeight);
    }
}

void TRadioGroup::SetItemIndex(int index) {
    if (index < -1 || index >= static_cast<int>(items_.size())) {
        throw EComponentError("Radio group index out of range");
    }
    if (index == itemIndex_) {
        return;
    }
    itemIndex_ = index;
    updating_ = true;
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        if (static_cast<int>(i) == index) {
            buttons_[i]->SetChecked(true);
        } else {
            buttons_[i]->SetChecked(false);
        }
    }
    updating_ = false;
    Click();
}

void TRadioGroup::ButtonClicked(int index) {
    if (!updating_) {
        SetItemIndex(index);
    }
}

void TRadioGroup::Loaded() {
    TGroupBox::Loaded();
    if (HandleAllocated() && !items_.empty()) {
        MakeButtons();
    }
}

void TRadioGroup::SetColumns(int columns) {
    columns_ = std::max(columns, 1);
    ArrangeButtons();
}

void TRadioGroup::Resize() {
    ArrangeButtons();
    TGroupBox::Resize();
}

void TRadioGroup::EnabledChanged() {
    TGroupBox::EnabledChanged();
    for (TRadioButton* button : buttons_) {
        button->SetEnabled(Enabled());
    }
}

void TRadioGroup::SetProperty(std::string_view name, std::string_view value) {
    if (name == "Items") {
        SetItems(PropItems(value));
    } else if (name == "ItemIndex") {
        SetItemIndex(PropInteger(value, name));
    } else if (name == "Columns") {
        SetColumns(PropInteger(value, name));
    } else {
        TGroupBox::SetProperty(name, value);
    }
}

// ---- TImage

TImage::TImage(TComponent* owner) : TGraphicControl(owner) {
    SetParentColor(true);
    SetBounds(0, 0, 105, 105);
}

TImage::~TImage() = default;

void TImage::SetIcon(HICON icon) {
    icon_ = icon;
    bitmap_.reset();
    Invalidate();
}

void TImage::SetBitmap(const TBitmap& bitmap) {
    bitmap_ = std::make_unique<TBitmap>(bitmap.Width(), bitmap.Height());
    BitBlt(bitmap_->DC(), 0, 0, bitmap.Width(), bitmap.Height(), bitmap.DC(), 0, 0, SRCCOPY);
    icon_ = nullptr;
    Invalidate();
}

void TImage::SetStretch(bool stretch) {
    stretch_ = stretch;
    Invalidate();
}

void TImage::SetCenter(bool center) {
    center_ = center;
    Invalidate();
}

void TImage::Paint(TCanvas& canvas) {
    int pictureWidth = 0;
    int pictureHeight = 0;
    if (bitmap_) {
        pictureWidth = bitmap_->Width();
        pictureHeight = bitmap_->Height();
    } else if (icon_ != nullptr) {
        pictureWidth = GetSystemMetrics(SM_CXICON);
        pictureHeight = GetSystemMetrics(SM_CYICON);
    } else {
        return;
    }
    TRect target{0, 0, pictureWidth, pictureHeight};
    if (stretch_) {
        target = ClientRect();
    } else if (center_) {
        target = TRect{(Width() - pictureWidth) / 2, (Height() - pictureHeight) / 2,
                       (Width() - pictureWidth) / 2 + pictureWidth,
                       (Height() - pictureHeight) / 2 + pictureHeight};
    }
    if (bitmap_) {
        canvas.StretchDraw(target, *bitmap_);
    } else {
        DrawIconEx(canvas.Handle(), target.Left, target.Top, icon_, target.Width(), target.Height(), 0,
                   nullptr, DI_NORMAL);
    }
}

void TImage::SetProperty(std::string_view name, std::string_view value) {
    if (name == "Stretch") {
        SetStretch(PropBoolean(value, name));
    } else if (name == "Center") {
        SetCenter(PropBoolean(value, name));
    } else if (name == "Picture") {
        if (value != "ApplicationIcon") {
            throw EPropertyError("Bad value '" + std::string(value) + "' for property Picture of " + Name());
        }
        SetIcon(Application().Icon());
    } else {
        TGraphicControl::SetProperty(name, value);
    }
}

} // namespace tarvola

namespace tarvola {

// ---- TLabeledEdit

TLabeledEdit::TLabeledEdit(TComponent* owner) : TEdit(owner), label_(&Create<TLabel>()) {}

void TLabeledEdit::SetLabelSpacing(int spacing) {
    spacing_ = spacing;
    PlaceLabel();
}

void TLabeledEdit::PlaceLabel() {
    label_->SetBounds(Left(), Top() - label_->Height() - spacing_, label_->Width(), label_->Height());
}

void TLabeledEdit::BoundsChanged() {
    TEdit::BoundsChanged();
    PlaceLabel();
}

void TLabeledEdit::VisibleChanged() {
    TEdit::VisibleChanged();
    label_->SetVisible(Visible());
}

void TLabeledEdit::EnabledChanged() {
    TEdit::EnabledChanged();
    label_->SetEnabled(Enabled());
}

void TLabeledEdit::ParentChanged() {
    TEdit::ParentChanged();
    label_->SetParent(Parent());
    PlaceLabel();
}

void TLabeledEdit::SetProperty(std::string_view name, std::string_view value) {
    if (name.starts_with("EditLabel.")) {
        label_->SetProperty(name.substr(10), value);
        PlaceLabel();
    } else if (name == "LabelSpacing") {
        SetLabelSpacing(PropInteger(value, name));
    } else {
        TEdit::SetProperty(name, value);
    }
}

} // namespace tarvola
