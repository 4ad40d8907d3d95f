// The string tree's edit control: a wide Win32 EDIT window placed over a cell, which passes its keys, its
// focus loss and its destruction to its edit link. It frees itself through a posted message, so that a link
// may release it from inside the control's own message handling.
#pragma once

#include "tree/StringEditLink.h"

#include <windows.h>

#include <memory>
#include <string>

namespace tarvola {

// Posted to the control to free it once its current messages are handled.
constexpr UINT WM_VTEDIT_RELEASE = WM_APP + 0x145;

class TVTEdit : public IStringEditControl {
public:
    // parent: the tree's window.
    explicit TVTEdit(HWND parent);
    TVTEdit(const TVTEdit&) = delete;
    TVTEdit& operator=(const TVTEdit&) = delete;

    HWND Handle() const { return handle_; }

    void Prepare(TCustomVirtualStringTree& tree, const TTextFont& font, const std::wstring& text,
                 bool multiline, TAlignment alignment, bool rightToLeft) override;
    void Show() override;
    void Hide() override;
    std::wstring Text() const override;
    bool Modified() const override;
    TTreeRect Bounds() const override;
    void SetBounds(const TTreeRect& bounds, int textTop) override;
    void ProcessMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;
    void SetLink(std::shared_ptr<TStringEditLink> link) override { link_ = std::move(link); }
    void FocusTree() override;
    void Release() override;

    // The width of a text in the control's font.
    int TextWidth(const std::wstring& text) const;

private:
    ~TVTEdit() override;
    static LRESULT CALLBACK EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);
    // A single-line editor follows its text's width as the user types.
    void AutoAdjustSize();

    HWND parent_;
    HWND handle_ = nullptr;
    WNDPROC editProc_ = nullptr;
    HFONT font_ = nullptr;
    TCustomVirtualStringTree* tree_ = nullptr;
    bool multiline_ = false;
    std::shared_ptr<TStringEditLink> link_;
};

} // namespace tarvola
