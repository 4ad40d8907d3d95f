// Form layouts as data. A layout is a table with one row per component (class, name, parent, position and
// properties as text) and the form's own properties. Events are no properties: the form binds them in code
// after loading its layout (Bind, forms/Events.h); see forms/README.md.
#pragma once

#include "forms/Component.h"
#include "forms/Properties.h"

#include <functional>
#include <string_view>
#include <vector>

namespace tarvola {

class TForm;

struct TComponentRow {
    std::string_view type;   // registered class name: "TButton", "TMenuItem", ...
    std::string_view name;   // component name, unique in the form
    std::string_view parent; // the row's parent: "" is the form (controls) or none (non-visual components)
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::vector<TProp> props; // applied in order
};

struct TFormLayout {
    std::vector<TProp> form; // the form's own properties, applied after its components exist
    std::vector<TComponentRow> components;
};

// Makes a component of a class for an owner (the owner owns it).
using TComponentFactory = std::function<TComponent&(TComponent& owner)>;
void RegisterComponentClass(std::string_view type, TComponentFactory factory);
template <class T>
void RegisterComponentClass(std::string_view type) {
    RegisterComponentClass(type, [](TComponent& owner) -> TComponent& { return owner.Create<T>(); });
}

// Makes the components of a layout on a form and applies its properties; throws EPropertyError or
// EComponentError for a table that does not fit.
void LoadFormLayout(TForm& form, const TFormLayout& layout);

} // namespace tarvola
