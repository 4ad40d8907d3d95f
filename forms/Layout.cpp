#include "forms/Layout.h"

#include "forms/Buttons.h"
#include "forms/ComCtrls.h"
#include "forms/ExtCtrls.h"
#include "forms/FileDialogs.h"
#include "forms/Form.h"
#include "forms/Menus.h"
#include "forms/StdCtrls.h"
#include "forms/Timer.h"

#include <map>
#include <string>

namespace tarvola {

namespace {

using TClassTable = std::map<std::string, TComponentFactory, std::less<>>;

void AddStandardClasses(TClassTable& table) {
    auto add = [&table]<class T>(std::string_view type) {
        table.emplace(std::string(type), [](TComponent& owner) -> TComponent& { return owner.Create<T>(); });
    };
    add.operator()<TButton>("TButton");
    add.operator()<TLabel>("TLabel");
    add.operator()<TStaticText>("TStaticText");
    add.operator()<TEdit>("TEdit");
    add.operator()<TCheckBox>("TCheckBox");
    add.operator()<TRadioButton>("TRadioButton");
    add.operator()<TGroupBox>("TGroupBox");
    add.operator()<TPanel>("TPanel");
    add.operator()<TBevel>("TBevel");
    add.operator()<TRadioGroup>("TRadioGroup");
    add.operator()<TImage>("TImage");
    add.operator()<TTrackBar>("TTrackBar");
    add.operator()<TProgressBar>("TProgressBar");
    add.operator()<TSpinEdit>("TSpinEdit");
    add.operator()<TMainMenu>("TMainMenu");
    add.operator()<TPopupMenu>("TPopupMenu");
    add.operator()<TMenuItem>("TMenuItem");
    add.operator()<TOpenDialog>("TOpenDialog");
    add.operator()<TSaveDialog>("TSaveDialog");
    add.operator()<TTimer>("TTimer");
    add.operator()<TComboBox>("TComboBox");
    add.operator()<TLabeledEdit>("TLabeledEdit");
    add.operator()<TBitBtn>("TBitBtn");
    add.operator()<TPageControl>("TPageControl");
    add.operator()<TTabSheet>("TTabSheet");
    add.operator()<TImageList>("TImageList");
}

TClassTable& Classes() {
    static TClassTable table = [] {
        TClassTable standard;
        AddStandardClasses(standard);
        return standard;
    }();
    return table;
}

void ApplyProps(TComponent& component, const std::vector<TProp>& props) {
    for (const TProp& prop : props) {
        component.SetProperty(prop.name, prop.value);
    }
}

TComponent& ParentOf(TForm& form, const TComponentRow& row) {
    if (row.parent.empty()) {
        return form;
    }
    TComponent* parent = form.FindComponent(row.parent);
    if (parent == nullptr) {
        throw EComponentError("No parent " + std::string(row.parent) + " for " + std::string(row.name));
    }
    return *parent;
}

} // namespace

void RegisterComponentClass(std::string_view type, TComponentFactory factory) {
    Classes().insert_or_assign(std::string(type), std::move(factory));
}

void LoadFormLayout(TForm& form, const TFormLayout& layout) {
    for (const TComponentRow& row : layout.components) {
        auto found = Classes().find(row.type);
        if (found == Classes().end()) {
            throw EComponentError("Unknown component class " + std::string(row.type));
        }
        if (form.FindComponent(row.name) != nullptr) {
            throw EComponentError("Two components named " + std::string(row.name));
        }
        TComponent& component = found->second(form);
        component.SetName(std::string(row.name));
        auto* control = dynamic_cast<TControl*>(&component);
        if (control != nullptr) {
            control->SetBounds(row.left, row.top, row.width, row.height);
        }
        component.BeginLoading();
        ApplyProps(component, row.props);
        if (control != nullptr || !row.parent.empty()) {
            component.SetParentComponent(ParentOf(form, row));
        }
        component.EndLoading();
    }
    ApplyProps(form, layout.form);
}

} // namespace tarvola
