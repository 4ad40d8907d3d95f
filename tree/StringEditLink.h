// The string tree's default editor: a link that places an edit control over a cell, starts it with the
// cell's text and hands a changed text back through the tree's SetText (OnNewText). The link holds the
// rules (when a text goes back, what the keys and a focus loss do); the edit control itself sits behind
// IStringEditControl, a Win32 EDIT window in the program and a fake in the tests.
#pragma once

#include "tree/EditSession.h"
#include "tree/StringTree.h"

#include <memory>
#include <string>

namespace tarvola {

class TStringEditLink;

// The window an edit link drives. It lives from the link's creation until the link releases it, and may
// outlive the link: Release frees it once its window has nothing left to do.
class IStringEditControl {
public:
    // Sets the control up over tree with the cell's font, text and layout; creates its window.
    virtual void Prepare(TCustomVirtualStringTree& tree, const TTextFont& font, const std::wstring& text,
                         bool multiline, TAlignment alignment, bool rightToLeft) = 0;
    // Shows the control, selects all of its text and gives it the focus.
    virtual void Show() = 0;
    virtual void Hide() = 0;
    virtual std::wstring Text() const = 0;
    // Whether the user changed the text since Prepare.
    virtual bool Modified() const = 0;
    virtual TTreeRect Bounds() const = 0;
    // Places the control; textTop is where the cell's text starts (a single line is aligned to it).
    virtual void SetBounds(const TTreeRect& bounds, int textTop) = 0;
    virtual void ProcessMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
    // The control keeps its link alive while it has one; it drops it when the edit has finished.
    virtual void SetLink(std::shared_ptr<TStringEditLink> link) = 0;
    // Gives the focus back to the tree.
    virtual void FocusTree() = 0;
    // Frees the control (deferred while its window is busy).
    virtual void Release() = 0;

protected:
    virtual ~IStringEditControl() = default;
};

class TStringEditLink : public IVTEditLink, public std::enable_shared_from_this<TStringEditLink> {
public:
    // control: owned from here on (released when the link goes).
    explicit TStringEditLink(IStringEditControl* control);
    ~TStringEditLink() override;
    TStringEditLink(const TStringEditLink&) = delete;
    TStringEditLink& operator=(const TStringEditLink&) = delete;

    bool BeginEdit() override;
    bool CancelEdit() override;
    bool EndEdit() override;
    bool PrepareEdit(TBaseVirtualTree& tree, PVirtualNode node, TColumnIndex column) override;
    TTreeRect GetBounds() const override;
    void ProcessMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;
    void SetBounds(TTreeRect bounds) override;

    // The edit control's events. KeyDown answers what the control does with the key itself.
    TEditKeyResult KeyDown(unsigned key, bool ctrl);
    void FocusLost();
    // The control's window goes while the edit still runs: a changed text is kept when the tree accepts on
    // focus loss, unless the tree itself is going.
    void ControlDestroyed();

    bool Stopping() const { return stopping_; }
    bool Multiline() const;
    TAlignment Alignment() const { return alignment_; }
    TCustomVirtualStringTree* Tree() const { return tree_; }
    PVirtualNode Node() const { return node_; }
    TColumnIndex Column() const { return column_; }
    const TTreeRect& TextBounds() const { return textBounds_; }

private:
    struct ReleaseControl {
        void operator()(IStringEditControl* control) const { control->Release(); }
    };
    std::unique_ptr<IStringEditControl, ReleaseControl> edit_;
    TCustomVirtualStringTree* tree_ = nullptr;
    // The same tree as its base: the only view of it that stays valid while the tree is being destroyed.
    TBaseVirtualTree* baseTree_ = nullptr;
    PVirtualNode node_ = nullptr;
    TColumnIndex column_ = NoColumn;
    TAlignment alignment_ = TAlignment::taLeftJustify;
    TTreeRect textBounds_;
    bool stopping_ = false;
};

} // namespace tarvola
