// Reading the property values of layout tables: every value is text, converted by the component that owns the
// property. A value that does not convert is a programming error in the table and raises EPropertyError.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarvola {

class EPropertyError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One property of a layout row: its name and its value as text.
struct TProp {
    std::string_view name;
    std::string_view value;
};

// Decimal or "$"/"0x" hexadecimal, optional sign; throws EPropertyError when the text is not a whole
// 32-bit number.
std::int32_t PropInteger(std::string_view value, std::string_view property);
// "True" or "False".
bool PropBoolean(std::string_view value, std::string_view property);
// One of the named values of a set of choices; throws when the name is not among them.
template <class E>
E PropChoice(std::string_view value, std::string_view property,
             std::initializer_list<std::pair<std::string_view, E>> choices) {
    for (const auto& [name, choice] : choices) {
        if (name == value) {
            return choice;
        }
    }
    throw EPropertyError("Bad value '" + std::string(value) + "' for property " + std::string(property));
}
// A set of named flags separated by blanks or commas ("biSystemMenu biMinimize"); an empty text is no flag.
unsigned PropFlags(std::string_view value, std::string_view property,
                   std::initializer_list<std::pair<std::string_view, unsigned>> flags);
// A list of texts separated by "|" ("Low Pass|High Pass"); an empty text is an empty list.
std::vector<std::string> PropItems(std::string_view value);

[[noreturn]] void ThrowUnknownProperty(std::string_view component, std::string_view property);

} // namespace tarvola
