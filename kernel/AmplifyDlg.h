// "Amplify": the factor the kernel designer multiplies every impulse value in the editor panel by.
#pragma once

#include "kernel/EditOperationDlg.h"

namespace tarvola {

class TobjAmplifyDlg : public TobjEditOperationDlg {
public:
    explicit TobjAmplifyDlg(TComponent* owner);

    // OK: the value shown; Cancel: 1.0.
    long double Factor = 1.0L;

protected:
    bool Accept() override;
    void Reject() override;
};

} // namespace tarvola
