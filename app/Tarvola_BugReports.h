// The bug-report dialog: how to reach the support address, which it opens as a mail link.
#pragma once

#include "forms/Form.h"

namespace tarvola {

class TobjBugReports : public TForm {
public:
    explicit TobjBugReports(TComponent* owner);

    void OKBtn_Click(TObject&);
    void SendEmail(TObject&);
    void Label2_MouseEnter(TObject&);
    void Label2_MouseLeave(TObject&);
};

} // namespace tarvola
