// The default editor's rules: the cell's text goes into the edit control, a changed text comes back through
// the tree's SetText, and the keys and a focus loss end or cancel the edit.
#include "tree/StringEditLink.h"

#include "tree/Header.h"

namespace tarvola {

namespace {
constexpr TVTColor clWindowText = 0x80000008;

TAlignment Flipped(TAlignment alignment) {
    switch (alignment) {
    case TAlignment::taLeftJustify:
        return TAlignment::taRightJustify;
    case TAlignment::taRightJustify:
        return TAlignment::taLeftJustify;
    default:
        return alignment;
    }
}
} // namespace

std::shared_ptr<IVTEditLink> TCustomVirtualStringTree::DoCreateEditor(PVirtualNode node,
                                                                      TColumnIndex column) {
    std::shared_ptr<IVTEditLink> link = TBaseVirtualTree::DoCreateEditor(node, column);
    if (!link && EditControlFactory)
        link = std::make_shared<TStringEditLink>(EditControlFactory());
    return link;
}

TStringEditLink::TStringEditLink(IStringEditControl* control) : edit_(control) {}

TStringEditLink::~TStringEditLink() = default;

bool TStringEditLink::Multiline() const {
    return node_ != nullptr && (node_->States & nsMultiline) != 0;
}

bool TStringEditLink::PrepareEdit(TBaseVirtualTree& tree, PVirtualNode node, TColumnIndex column) {
    auto* stringTree = dynamic_cast<TCustomVirtualStringTree*>(&tree);
    if (stringTree == nullptr || !edit_)
        return false;
    tree_ = stringTree;
    baseTree_ = &tree;
    node_ = node;
    column_ = column;
    TTextFont font = stringTree->Look.Font;
    std::wstring text;
    stringTree->GetTextInfo(node, column, font, textBounds_, text);
    font.Color = clWindowText;
    bool rightToLeft = stringTree->Look.RightToLeft;
    alignment_ = stringTree->Look.Alignment;
    TVirtualTreeColumns& columns = stringTree->Header().Columns();
    if (columns.IsValidColumn(column)) {
        rightToLeft = columns[column].BiDiMode() != TBiDiMode::bdLeftToRight;
        alignment_ = columns[column].Alignment();
    }
    if (rightToLeft)
        alignment_ = Flipped(alignment_);
    edit_->Prepare(*stringTree, font, text, Multiline(), alignment_, rightToLeft);
    edit_->SetLink(shared_from_this());
    return true;
}

bool TStringEditLink::BeginEdit() {
    if (!stopping_)
        edit_->Show();
    return !stopping_;
}

bool TStringEditLink::EndEdit() {
    if (stopping_)
        return false;
    stopping_ = true;
    try {
        if (edit_->Modified())
            tree_->SetText(node_, column_, edit_->Text());
        edit_->Hide();
        edit_->SetLink(nullptr);
    } catch (...) {
        // The owner refused the text: the edit keeps running and may end or cancel again.
        stopping_ = false;
        throw;
    }
    return true;
}

bool TStringEditLink::CancelEdit() {
    if (stopping_)
        return false;
    stopping_ = true;
    edit_->Hide();
    tree_->CancelEditNode();
    edit_->SetLink(nullptr);
    return true;
}

TTreeRect TStringEditLink::GetBounds() const {
    return edit_->Bounds();
}

void TStringEditLink::ProcessMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    edit_->ProcessMessage(message, wParam, lParam);
}

void TStringEditLink::SetBounds(TTreeRect bounds) {
    if (stopping_ || tree_ == nullptr)
        return;
    edit_->SetBounds(EditorBounds(bounds, alignment_, tree_->ClientWidth()), textBounds_.Top);
}

TEditKeyResult TStringEditLink::KeyDown(unsigned key, bool ctrl) {
    const TEditKeyResult result = EditKeyDown(key, ctrl, Multiline());
    if (stopping_ || tree_ == nullptr || result.Action == TEditKeyAction::PassOn)
        return result;
    // The tree drops its reference when the edit ends; this one keeps the link until the key is handled.
    const std::shared_ptr<TStringEditLink> self = shared_from_this();
    if (result.Action == TEditKeyAction::EndEdit) {
        tree_->InvalidateNode(node_);
        tree_->DoEndEdit();
    } else {
        tree_->DoCancelEdit();
    }
    edit_->FocusTree();
    return result;
}

void TStringEditLink::FocusLost() {
    if (stopping_ || tree_ == nullptr)
        return;
    const std::shared_ptr<TStringEditLink> self = shared_from_this();
    if (tree_->Has(toAutoAcceptEditChange))
        tree_->DoEndEdit();
    else
        tree_->DoCancelEdit();
}

void TStringEditLink::ControlDestroyed() {
    if (stopping_ || tree_ == nullptr)
        return;
    stopping_ = true;
    // A tree that is itself going has no owner left to take the text.
    if (baseTree_->Destroying()) {
        edit_->SetLink(nullptr);
        return;
    }
    if (tree_->Has(toAutoAcceptEditChange) && edit_->Modified())
        tree_->SetText(node_, column_, edit_->Text());
    edit_->SetLink(nullptr);
}

} // namespace tarvola
