// The About dialog: the product, its version and purpose, and a link to the maker's web site.
#pragma once

#include "forms/Form.h"

namespace tarvola {

class TobjAboutBox : public TForm {
public:
    explicit TobjAboutBox(TComponent* owner);

    void OK_Click(TObject&);
    void OpenURL(TObject&);
    void Label1MouseEnter(TObject&);
    void Label1MouseLeave(TObject&);
};

} // namespace tarvola
