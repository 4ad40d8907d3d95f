// The dialog that asks for the format of a headerless PCM file: sampling rate, bits per sample, channels
// and byte order. The results are read from the fields after the modal run; Cancelled stays True unless
// the user chose OK.
#pragma once

#include "forms/Form.h"

#include <cstdint>

namespace tarvola {

class TSpinEdit;
class TRadioGroup;
class TButton;

class TobjPCMParamsDlg : public TForm {
public:
    explicit TobjPCMParamsDlg(TComponent* owner);

    TSpinEdit* SpEd_SmplRate = nullptr;
    TSpinEdit* SpEd_BitsPSmpl = nullptr;
    TSpinEdit* SpEd_Chnls = nullptr;
    TRadioGroup* RdGp_Order = nullptr;
    TButton* Btn_OK = nullptr;
    TButton* Btn_Cancel = nullptr;

    // Results.
    std::int32_t Bits = 0;
    std::int32_t Rate = 0;
    std::int32_t Channels = 0;
    std::int32_t BytesPerSample = 0;
    std::int32_t Order = 0; // 0: low byte first (.wav); 1: high byte first (.aiff)
    bool Cancelled = true;

    void OK_Click(TObject& sender);
    void Cancel_Click(TObject& sender);
};

} // namespace tarvola
