// "Mirror": the reflector around which the kernel designer mirrors the editor contents, and the level of
// the mirror image.
#pragma once

#include "kernel/EditOperationDlg.h"

#include <cstdint>

namespace tarvola {

class TobjMirror : public TobjEditOperationDlg {
public:
    explicit TobjMirror(TComponent* owner);

    // In: the editor's bounds, before showing.
    void SetRange(std::int32_t lowImpulse, std::int32_t highImpulse);
    std::int32_t LowImpulse = 0;
    std::int32_t HighImpulse = 0;

    // OK: the chosen item (0 impulse zero, 1 editor low, 2 low - 1, 3 editor high, 4 high + 1) and its
    // impulse; Cancel: 0 and 0.
    int Reflector = 0;
    std::int32_t ReflectorImpulse = 0;
    // OK: the number in the edit, or 1.0 when the text is none; Cancel: 0.
    long double Level = 0.0L;

    TRadioGroup* RdGp_Reflector = nullptr;

protected:
    bool Accept() override;
    void Reject() override;
};

} // namespace tarvola
