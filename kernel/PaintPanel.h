// A panel that raises a paint event after painting itself; the rulers and histograms draw on it.
#pragma once

#include "forms/ExtCtrls.h"

namespace tarvola {

class TobjPaintPanel : public TPanel {
public:
    using TPanel::TPanel;
    // Fired after the panel has painted itself, while its Canvas is valid.
    TNotifyEvent OnPaint;

protected:
    void Paint() override;
    // Fires OnPaint when assigned.
    void FirePaint();
};

} // namespace tarvola
