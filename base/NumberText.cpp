#include "base/NumberText.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace tarvola {

namespace {

bool IsDigit(char ch) {
    return ch >= '0' && ch <= '9';
}

bool IsSign(char ch) {
    return ch == '+' || ch == '-';
}

} // namespace

bool IsDecimalInteger(std::string_view text) {
    if (!text.empty() && IsSign(text.front()))
        text.remove_prefix(1);
    if (text.empty())
        return false;
    for (char ch : text)
        if (!IsDigit(ch))
            return false;
    return true;
}

std::optional<std::int32_t> Int32FromText(std::string_view text) {
    if (!IsDecimalInteger(text))
        return std::nullopt;
    const bool negative = text.front() == '-';
    if (IsSign(text.front()))
        text.remove_prefix(1);
    std::uint64_t magnitude = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt; // too many digits for any 64-bit value
    const std::uint64_t limit = negative ? std::uint64_t{1} << 31 : (std::uint64_t{1} << 31) - 1;
    if (magnitude > limit)
        return std::nullopt;
    const auto value = static_cast<std::int64_t>(magnitude);
    return static_cast<std::int32_t>(negative ? -value : value);
}

std::optional<double> DoubleFromText(std::string_view text) {
    if (text.empty() || text.find_first_not_of("0123456789+-.eE") != std::string_view::npos)
        return std::nullopt;
    const std::string terminated(text); // strtod wants a terminated text
    const char* begin = terminated.c_str();
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(begin, &end);
    if (end != begin + terminated.size() || !std::isfinite(value) ||
        (errno == ERANGE && std::fabs(value) > 1.0))
        return std::nullopt;
    return value;
}

} // namespace tarvola
