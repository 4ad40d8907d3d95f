// "Block Value Adjust": the amount the kernel designer adds to the value of every column in the editor
// panel.
#pragma once

#include "kernel/EditOperationDlg.h"

namespace tarvola {

class TobjBlockAdjust : public TobjEditOperationDlg {
public:
    explicit TobjBlockAdjust(TComponent* owner);

    // OK: the value shown; Cancel: 0.
    long double Amount = 0.0L;

protected:
    bool Accept() override;
    void Reject() override;
};

} // namespace tarvola
