#include "kernel/PaintPanel.h"

#include "forms/ExtCtrls.h"

namespace tarvola {

void TobjPaintPanel::Paint() {
    TPanel::Paint();
    FirePaint();
}

void TobjPaintPanel::FirePaint() {
    if (OnPaint)
        OnPaint(*this);
}

} // namespace tarvola
