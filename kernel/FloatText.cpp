#include "kernel/FloatText.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace tarvola {

namespace {

constexpr int kMaxSignificant = 18;

// A non-negative integer in limbs of nine decimal digits, least significant first.
class Decimal {
public:
    explicit Decimal(std::uint64_t value) {
        do {
            limbs_.push_back(static_cast<std::uint32_t>(value % kBase));
            value /= kBase;
        } while (value != 0);
    }

    void MultiplyBy(std::uint32_t factor) {
        std::uint64_t carry = 0;
        for (auto& limb : limbs_) {
            const std::uint64_t product = std::uint64_t{limb} * factor + carry;
            limb = static_cast<std::uint32_t>(product % kBase);
            carry = product / kBase;
        }
        while (carry != 0) {
            limbs_.push_back(static_cast<std::uint32_t>(carry % kBase));
            carry /= kBase;
        }
    }

    // Multiplies by base^exponent in steps whose factor fits 32 bits.
    void MultiplyByPower(std::uint32_t base, std::uint32_t stepFactor, int stepExponent, int exponent) {
        for (; exponent >= stepExponent; exponent -= stepExponent)
            MultiplyBy(stepFactor);
        for (; exponent > 0; --exponent)
            MultiplyBy(base);
    }

    std::string Digits() const {
        std::string text = std::to_string(limbs_.back());
        for (auto it = limbs_.rbegin() + 1; it != limbs_.rend(); ++it) {
            const std::string limb = std::to_string(*it);
            text.append(9 - limb.size(), '0');
            text += limb;
        }
        return text;
    }

private:
    static constexpr std::uint32_t kBase = 1000000000;
    std::vector<std::uint32_t> limbs_;
};

// A finite value's magnitude as decimal digits D (no leading or trailing zeros; empty for zero) and an
// exponent E, the value being 0.D × 10^E.
struct DecimalDigits {
    std::string digits;
    int exponent = 0;
};

DecimalDigits ExactDigits(long double magnitude) {
    if (magnitude == 0)
        return {};
    int binaryExponent = 0;
    const long double fraction = std::frexp(magnitude, &binaryExponent);
    // The 64-bit significand of the x87 format is exact in a 64-bit integer.
    const auto significand = static_cast<std::uint64_t>(std::ldexp(fraction, 64));
    int scale = binaryExponent - 64; // magnitude = significand × 2^scale
    Decimal number(significand);
    int pointShift = 0;
    if (scale >= 0) {
        number.MultiplyByPower(2, 1u << 29, 29, scale);
    } else {
        // significand × 2^-k = significand × 5^k / 10^k.
        number.MultiplyByPower(5, 1220703125u, 13, -scale);
        pointShift = scale;
    }
    DecimalDigits result;
    result.digits = number.Digits();
    result.exponent = static_cast<int>(result.digits.size()) + pointShift;
    return result;
}

void StripTrailingZeros(DecimalDigits& d) {
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    if (d.digits.empty())
        d.exponent = 0;
}

// Keeps the first `keep` digits; `halfUp` rounds a tie up, otherwise a tie goes to the even digit. The
// digits beyond `keep` are the exact rest, so a tie is a 5 followed only by zeros.
void RoundDigits(DecimalDigits& d, int keep, bool halfUp) {
    const int count = static_cast<int>(d.digits.size());
    if (keep >= count)
        return;
    if (keep < 0) {
        d = {};
        return;
    }
    const char first = d.digits[static_cast<std::size_t>(keep)];
    bool roundUp = first > '5';
    if (first == '5') {
        const bool exactTie =
            d.digits.find_first_not_of('0', static_cast<std::size_t>(keep) + 1) == std::string::npos;
        if (!exactTie || halfUp)
            roundUp = true;
        else
            roundUp = keep > 0 && (d.digits[static_cast<std::size_t>(keep) - 1] - '0') % 2 == 1;
    }
    d.digits.resize(static_cast<std::size_t>(keep));
    if (roundUp) {
        int i = keep - 1;
        while (i >= 0 && d.digits[static_cast<std::size_t>(i)] == '9') {
            d.digits[static_cast<std::size_t>(i)] = '0';
            --i;
        }
        if (i >= 0) {
            ++d.digits[static_cast<std::size_t>(i)];
        } else {
            d.digits.insert(d.digits.begin(), '1');
            ++d.exponent;
        }
    }
    StripTrailingZeros(d);
}

char DigitAt(const DecimalDigits& d, int position) {
    return position >= 0 && position < static_cast<int>(d.digits.size())
               ? d.digits[static_cast<std::size_t>(position)]
               : '0';
}

std::string ScientificText(const DecimalDigits& d) {
    // Texts are built by appending: GCC 12 warns falsely on "literal" + std::string.
    std::string text(1, d.digits[0]);
    if (d.digits.size() > 1) {
        text += '.';
        text.append(d.digits, 1);
    }
    text += 'E';
    text += std::to_string(d.exponent - 1);
    return text;
}

std::string GeneralText(const DecimalDigits& d, int precision) {
    if (d.digits.empty())
        return "0";
    if (d.exponent > precision || d.exponent < -4)
        return ScientificText(d);
    std::string text;
    if (d.exponent <= 0) {
        text = "0.";
        text.append(static_cast<std::size_t>(-d.exponent), '0');
        text += d.digits;
    } else {
        for (int i = 0; i < d.exponent; ++i)
            text += DigitAt(d, i);
        if (static_cast<int>(d.digits.size()) > d.exponent) {
            text += '.';
            text.append(d.digits, static_cast<std::size_t>(d.exponent));
        }
    }
    return text;
}

std::string FixedText(const DecimalDigits& d, int digits, bool thousands) {
    std::string integral;
    if (d.exponent <= 0) {
        integral = "0";
    } else {
        for (int i = 0; i < d.exponent; ++i) {
            if (thousands && i > 0 && (d.exponent - i) % 3 == 0)
                integral += ',';
            integral += DigitAt(d, i);
        }
    }
    if (digits == 0)
        return integral;
    std::string text = integral;
    text += '.';
    for (int i = 0; i < digits; ++i)
        text += DigitAt(d, d.exponent + i);
    return text;
}

} // namespace

std::string FloatToStrF(long double value, TFloatFormat format, int precision, int digits) {
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    precision = std::clamp(precision, 1, kMaxSignificant);
    digits = std::clamp(digits, 0, kMaxSignificant);

    DecimalDigits d = ExactDigits(std::fabs(value));
    RoundDigits(d, kMaxSignificant, false);
    StripTrailingZeros(d);
    const bool general = format == TFloatFormat::ffGeneral;
    const int keep = general ? precision : std::min(precision, d.exponent + digits);
    RoundDigits(d, keep, true);

    std::string text;
    if (general || d.exponent > precision)
        text = GeneralText(d, precision);
    else
        text = FixedText(d, digits, format == TFloatFormat::ffNumber);
    if (value < 0 && !d.digits.empty())
        text.insert(text.begin(), '-');
    return text;
}

} // namespace tarvola
