#include "forms/Properties.h"

#include <charconv>
#include <limits>

namespace tarvola {

namespace {

[[noreturn]] void ThrowBadValue(std::string_view value, std::string_view property) {
    throw EPropertyError("Bad value '" + std::string(value) + "' for property " + std::string(property));
}

} // namespace

std::int32_t PropInteger(std::string_view value, std::string_view property) {
    std::string_view digits = value;
    bool negative = false;
    if (!digits.empty() && (digits.front() == '-' || digits.front() == '+')) {
        negative = digits.front() == '-';
        digits.remove_prefix(1);
    }
    int base = 10;
    if (digits.starts_with("$")) {
        digits.remove_prefix(1);
        base = 16;
    } else if (digits.starts_with("0x") || digits.starts_with("0X")) {
        digits.remove_prefix(2);
        base = 16;
    }
    std::int64_t magnitude = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), magnitude, base);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) {
        ThrowBadValue(value, property);
    }
    const std::int64_t result = negative ? -magnitude : magnitude;
    // Hexadecimal colours and flags may use all 32 bits.
    if (base == 16 && !negative && result <= std::numeric_limits<std::uint32_t>::max()) {
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(result));
    }
    if (result < std::numeric_limits<std::int32_t>::min() ||
        result > std::numeric_limits<std::int32_t>::max()) {
        ThrowBadValue(value, property);
    }
    return static_cast<std::int32_t>(result);
}

bool PropBoolean(std::string_view value, std::string_view property) {
    return PropChoice<bool>(value, property, {{"True", true}, {"False", false}});
}

unsigned PropFlags(std::string_view value, std::string_view property,
                   std::initializer_list<std::pair<std::string_view, unsigned>> flags) {
    unsigned result = 0;
    std::size_t start = 0;
    while (start < value.size()) {
        const std::size_t end = value.find_first_of(" ,", start);
        const std::string_view word = value.substr(start, end == std::string_view::npos ? end : end - start);
        if (!word.empty()) {
            result |= PropChoice<unsigned>(word, property, flags);
        }
        if (end == std::string_view::npos) {
            break;
        }
        start = end + 1;
    }
    return result;
}

std::vector<std::string> PropItems(std::string_view value) {
    std::vector<std::string> items;
    if (value.empty()) {
        return items;
    }
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = value.find('|', start);
        items.emplace_back(value.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) {
            return items;
        }
        start = end + 1;
    }
}

void ThrowUnknownProperty(std::string_view component, std::string_view property) {
    throw EPropertyError("Unknown property " + std::string(property) + " of " + std::string(component));
}

} // namespace tarvola
