// Panels, bevels, radio groups, images and edits with a label.
#pragma once

#include "forms/StdCtrls.h"

#include <memory>
#include <string>
#include <vector>

namespace tarvola {

enum class TPanelBevel { bvNone, bvLowered, bvRaised };

// A container with bevels and a caption. Descendants that draw on it override Paint.
class TPanel : public TCustomControl {
public:
    explicit TPanel(TComponent* owner);

    TPanelBevel BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TPanelBevel bevel);
    TPanelBevel BevelInner() const { return bevelInner_; }
    void SetBevelInner(TPanelBevel bevel);
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int width);
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int width);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);

    void SetProperty(std::string_view name, std::string_view value) override;

protected:
    void Paint() override;

private:
    TPanelBevel bevelOuter_ = TPanelBevel::bvRaised;
    TPanelBevel bevelInner_ = TPanelBevel::bvNone;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
    TAlignment alignment_ = TAlignment::taCenter;
};

// Draws a 3-D frame of two colours into a rectangle and shrinks it by the frame's width.
void Frame3D(TCanvas& canvas, TRect& rect, TColor topLeft, TColor bottomRight, int width);

enum class TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum class TBevelStyle { bsLowered, bsRaised };

// A 3-D box, frame or line painted by its parent.
class TBevel : public TGraphicControl {
public:
    explicit TBevel(TComponent* owner);
    TBevelShape Shape() const { return shape_; }
    void SetShape(TBevelShape shape);
    TBevelStyle Style() const { return style_; }
    void SetStyle(TBevelStyle style);
    void Paint(TCanvas& canvas) override;
    void SetProperty(std::string_view name, std::string_view value) override;

private:
    TBevelShape shape_ = TBevelShape::bsBox;
    TBevelStyle style_ = TBevelStyle::bsLowered;
};

// A group box of radio buttons made from Items; OnClick fires whenever ItemIndex changes.
class TRadioGroup : public TGroupBox {
public:
    explicit TRadioGroup(TComponent* owner);

    const std::vector<std::string>& Items() const { return items_; }
    void SetItems(std::vector<std::string> items);
    // -1: none chosen.
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int index);
    int Columns() const { return columns_; }
    void SetColumns(int columns);
    TRadioButton& Buttons(int index) const;

    void SetProperty(std::string_view name, std::string_view value) override;

protected:
    void Resize() override;
    void EnabledChanged() override;
    // A layout row gives the items before the group has its window, so the buttons made then have none;
    // made again once the row is loaded, they get theirs.
    void Loaded() override;

private:
    void MakeButtons();
    void ArrangeButtons();
    void ButtonClicked(int index);

    std::vector<std::string> items_;
    std::vector<TRadioButton*> buttons_;
    int itemIndex_ = -1;
    int columns_ = 1;
    bool updating_ = false;
};

// A picture painted by its parent: an icon or a bitmap, stretched or centred on request.
class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* owner);
    ~TImage() override;
    // The icon is not owned (shared icons such as the application's).
    void SetIcon(HICON icon);
    // The image takes its own copy of the bitmap.
    void SetBitmap(const TBitmap& bitmap);
    bool Stretch() const { return stretch_; }
    void SetStretch(bool stretch);
    bool Center() const { return center_; }
    void SetCenter(bool center);
    void Paint(TCanvas& canvas) override;
    void SetProperty(std::string_view name, std::string_view value) override;

private:
    HICON icon_ = nullptr;
    std::unique_ptr<TBitmap> bitmap_;
    bool stretch_ = false;
    bool center_ = false;
};

// An edit with its own label above it (EditLabel), which moves, shows and enables with it.
class TLabeledEdit : public TEdit {
public:
    explicit TLabeledEdit(TComponent* owner);
    TLabel& EditLabel() { return *label_; }
    // Pixels between the label and the edit.
    int LabelSpacing() const { return spacing_; }
    void SetLabelSpacing(int spacing);

    // "EditLabel.Caption" and the edit's own properties.
    void SetProperty(std::string_view name, std::string_view value) override;

protected:
    void BoundsChanged() override;
    void VisibleChanged() override;
    void EnabledChanged() override;
    void ParentChanged() override;

private:
    void PlaceLabel();
    TLabel* label_;
    int spacing_ = 3;
};

} // namespace tarvola
