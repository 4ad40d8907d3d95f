// One column of the header: its setters with their side effects on the collection and the tree.
#include "tree/Columns.h"

#include "tree/Header.h"

#include <algorithm>

namespace tarvola {

TVirtualTreeColumn::TVirtualTreeColumn(TVirtualTreeColumns& owner) : owner_(owner) {
    color_ = Tree().Color();
    biDiMode_ = Tree().BiDiMode();
}

IHeaderTree& TVirtualTreeColumn::Tree() const {
    return owner_.Tree();
}

void TVirtualTreeColumn::Changed() {
    owner_.Update(this);
}

int TVirtualTreeColumn::GetLeft() const {
    return left_ + Tree().OffsetX();
}

void TVirtualTreeColumn::SetText(const std::wstring& value) {
    if (value == text_)
        return;
    text_ = value;
    Changed();
}

void TVirtualTreeColumn::SetWidth(int value) {
    value = std::clamp(value, minWidth_, maxWidth_);
    if (value == width_)
        return;
    lastWidth_ = width_;
    TVTHeader& header = owner_.Header();
    // The auto-size column takes whatever width the others leave; a direct change would be undone at once.
    const bool autoSized = header.Has(hoAutoResize) && index_ == header.AutoSizeIndex();
    if (!autoSized) {
        width_ = value;
        owner_.UpdatePositions();
    }
    if (Tree().Loading() || owner_.Updating())
        return;
    if (header.Has(hoAutoResize))
        owner_.AdjustAutoSize(index_);
    Tree().DoColumnResize(index_);
}

void TVirtualTreeColumn::SetMinWidth(int value) {
    minWidth_ = std::clamp(value, 0, maxWidth_);
    SetWidth(width_);
}

void TVirtualTreeColumn::SetMaxWidth(int value) {
    maxWidth_ = std::max(value, minWidth_);
    SetWidth(width_);
}

// Applies both limits whatever the current ones are: a new minimum above the current maximum needs the
// maximum first.
void TVirtualTreeColumn::ApplyWidthLimits(int minWidth, int maxWidth) {
    if (minWidth > maxWidth_) {
        SetMaxWidth(maxWidth);
        SetMinWidth(minWidth);
    } else {
        SetMinWidth(minWidth);
        SetMaxWidth(maxWidth);
    }
}

void TVirtualTreeColumn::SetPosition(int value) {
    if (Tree().Loading()) {
        position_ = value;
        return;
    }
    value = std::clamp(value, 0, owner_.Count() - 1);
    if (value == position_)
        return;
    owner_.InitializePositionArray();
    Tree().CancelEditNode();
    owner_.AdjustPosition(index_, value);
    Changed();
}

void TVirtualTreeColumn::SetOptions(TVTColumnOptions value) {
    if (value == options_)
        return;
    const TVTColumnOptions old = options_;
    const TVTColumnOptions added = value & ~old;
    options_ = value;
    if ((added & coParentBidiMode) != 0)
        biDiMode_ = Tree().BiDiMode();
    if ((added & coParentColor) != 0)
        color_ = Tree().Color();
    if ((added & coAutoSpring) != 0)
        springRest_ = 0;
    if (!Tree().Loading()) {
        const bool visibilityChanged = ((old ^ value) & coVisible) != 0;
        if ((visibilityChanged || (added & coParentColor) != 0) && !Tree().Updating())
            Tree().InvalidateTree();
        if (visibilityChanged)
            Tree().UpdateHorizontalScrollBar();
    }
    Changed();
}

void TVirtualTreeColumn::SetStyle(TVirtualTreeColumnStyle value) {
    if (value == style_)
        return;
    style_ = value;
    Changed();
}

void TVirtualTreeColumn::SetImageIndex(int value) {
    if (value == imageIndex_)
        return;
    imageIndex_ = value;
    Changed();
}

void TVirtualTreeColumn::SetLayout(TVTHeaderColumnLayout value) {
    if (value == layout_)
        return;
    layout_ = value;
    Changed();
}

void TVirtualTreeColumn::SetMargin(int value) {
    value = value < 0 ? DefaultColumnMargin : value;
    if (value == margin_)
        return;
    margin_ = value;
    Changed();
}

void TVirtualTreeColumn::SetSpacing(int value) {
    if (value == spacing_)
        return;
    spacing_ = value;
    Changed();
}

void TVirtualTreeColumn::SetBiDiMode(TBiDiMode value) {
    if (value == biDiMode_)
        return;
    biDiMode_ = value;
    options_ &= ~coParentBidiMode;
    Tree().InvalidateTree();
    Changed();
}

void TVirtualTreeColumn::SetAlignment(TAlignment value) {
    if (value == alignment_)
        return;
    alignment_ = value;
    Tree().InvalidateTree();
    Changed();
}

void TVirtualTreeColumn::SetColor(TVTColor value) {
    if (value == color_)
        return;
    color_ = value;
    options_ &= ~coParentColor;
    Tree().InvalidateTree();
    Changed();
}

void TVirtualTreeColumn::Assign(const TVirtualTreeColumn& source) {
    // Options are held empty during the copy so that no option side effect fires, and applied last.
    options_ = 0;
    SetText(source.text_);
    SetHint(source.hint_);
    ApplyWidthLimits(source.minWidth_, source.maxWidth_);
    SetWidth(source.width_);
    SetPosition(source.position_);
    SetStyle(source.style_);
    SetImageIndex(source.imageIndex_);
    SetLayout(source.layout_);
    SetMargin(source.margin_);
    SetSpacing(source.spacing_);
    SetBiDiMode(source.biDiMode_);
    SetAlignment(source.alignment_);
    SetColor(source.color_);
    SetTag(source.tag_);
    SetOptions(source.options_);
}

bool TVirtualTreeColumn::Equals(const TVirtualTreeColumn& other) const {
    return text_ == other.text_ && hint_ == other.hint_ && width_ == other.width_ &&
           minWidth_ == other.minWidth_ && maxWidth_ == other.maxWidth_ && position_ == other.position_ &&
           options_ == other.options_ && style_ == other.style_ && imageIndex_ == other.imageIndex_ &&
           layout_ == other.layout_ && margin_ == other.margin_ && spacing_ == other.spacing_ &&
           biDiMode_ == other.biDiMode_ && alignment_ == other.alignment_ && color_ == other.color_ &&
           tag_ == other.tag_;
}

std::wstring TVirtualTreeColumn::GetDisplayName() const {
    const bool narrow = std::all_of(text_.begin(), text_.end(), [](wchar_t c) { return c < 256; });
    return narrow ? text_ : L"Column " + std::to_wstring(index_);
}

void TVirtualTreeColumn::RestoreLastWidth() {
    owner_.AnimatedResize(index_, lastWidth_);
}

void TVirtualTreeColumn::ParentColorChanged() {
    if (!Has(coParentColor))
        return;
    color_ = Tree().Color();
    Changed();
}

void TVirtualTreeColumn::ParentBiDiModeChanged() {
    if (!Has(coParentBidiMode))
        return;
    biDiMode_ = Tree().BiDiMode();
    Changed();
}

} // namespace tarvola
