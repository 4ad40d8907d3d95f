// The detailed hint of an item of the explorer list's native list: the item's large icon beside its name,
// size and date, in a hint window of its own. Windows only.
#pragma once

#include "forms/Hints.h"

namespace tarvola {

// What the hint window draws beside its text.
struct TListHintPicture {
    int Image = -1;
    // -1: none; else the overlay image less one.
    int Overlay = -1;
};

class TListBitmapHint : public THintWindow {
public:
    // The class a hint request names to be shown in this window (its data a TListHintPicture).
    static THintWindowClass WindowClass();

    // The icon's width and the text's with 16 pixels between and around; the taller of the two plus 8.
    TRect CalcHintRect(int maxWidth, const std::wstring& hint, void* data) override;

protected:
    void Paint(HDC dc) override;

private:
    TListHintPicture picture_;
};

// The hint's text as a window draws it: its carriage returns become line breaks.
std::wstring HintLines(const std::wstring& text);

} // namespace tarvola
