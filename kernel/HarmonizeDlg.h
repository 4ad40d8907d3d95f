// "Harmonize": where the kernel designer copies the editor contents as a block (a harmonic of the editor's
// low impulse) and at what level.
#pragma once

#include "kernel/EditOperationDlg.h"

#include <cstdint>

namespace tarvola {

class TobjHarmonize : public TobjEditOperationDlg {
public:
    explicit TobjHarmonize(TComponent* owner);

    // In: the editor's low impulse, set before showing.
    std::int32_t LowImpulse = 0;
    // OK: Round(LowImpulse x the harmonic's factor), halves to even.
    std::int32_t TargetImpulse = 0;
    // OK: the number in the edit; Cancel: 0.
    long double Level = 0.0L;

    TRadioGroup* RdGp_Harmonic = nullptr;

protected:
    bool Accept() override;
    void Reject() override;
};

} // namespace tarvola
