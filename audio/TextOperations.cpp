#include "audio/TextOperations.h"

#include "base/NumberText.h"

namespace tarvola {

namespace {

// What the number grammar has seen so far; one per call, so the validators are re-entrant.
struct NumberScan {
    int DigitCount = 0;
    int PlusCount = 0;
    int MinusCount = 0;
    bool PointSeen = false;
    bool ExpSeen = false;

    bool AcceptDigit(char ch) {
        if (!IsDigitChar(ch))
            return false;
        DigitCount += 1;
        return true;
    }

    bool AcceptSign(char ch) {
        if (ch == '+')
            return AcceptSign(PlusCount);
        if (ch == '-')
            return AcceptSign(MinusCount);
        return false;
    }

    // A sign leads the text, before any digit or point, or follows the exponent (at most twice).
    bool AcceptSign(int& count) {
        if ((DigitCount == 0 && count == 0 && !PointSeen) || (count < 2 && ExpSeen)) {
            count += 1;
            return true;
        }
        return false;
    }

    bool AcceptPointOrExponent(char ch) {
        if (ch == '.') {
            PointSeen = !PointSeen;
            return PointSeen;
        }
        if (ch == 'e') {
            if (DigitCount >= 1 && PointSeen && !ExpSeen) {
                ExpSeen = true;
                return true;
            }
            ExpSeen = false;
            return false;
        }
        return false;
    }
};

bool IsBlank(const std::string& s) {
    for (char ch : s)
        if (ch != ' ' && ch != '\t')
            return false;
    return true;
}

std::string UpperAscii(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

bool IsDeviceName(const std::string& name) {
    const std::string stem = UpperAscii(name.substr(0, name.find('.')));
    if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL")
        return true;
    return stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) &&
           stem[3] >= '1' && stem[3] <= '9';
}

} // namespace

// ---- Validators

bool IsDigitChar(char ch) {
    return ch >= '0' && ch <= '9';
}

bool IsNumber(const std::string& s) {
    if (s.empty())
        return false;
    if (s.size() == 1)
        return IsDigitChar(s[0]);
    NumberScan scan;
    for (char ch : s)
        if (!scan.AcceptDigit(ch) && !scan.AcceptSign(ch) && !scan.AcceptPointOrExponent(ch))
            return false;
    return true;
}

bool IsInteger(const std::string& s) {
    if (s.empty())
        return false;
    NumberScan scan;
    for (char ch : s)
        if (!scan.AcceptDigit(ch) && !scan.AcceptSign(ch))
            return false;
    return true;
}

// ---- Checked conversions

std::optional<double> NumberValue(const std::string& s) {
    if (!IsNumber(s))
        return std::nullopt;
    return DoubleFromText(s);
}

std::optional<std::int32_t> IntegerValue(const std::string& s) {
    if (!IsInteger(s))
        return std::nullopt;
    return Int32FromText(s);
}

// ---- File names

bool IsValidFileName(const std::string& s) {
    return s.find_first_of("<>?\\|\"*/:") == std::string::npos;
}

bool IsUsableFileName(const std::string& s) {
    if (!IsValidFileName(s) || IsBlank(s) || s.back() == ' ' || s.back() == '.')
        return false;
    for (char ch : s)
        if (static_cast<unsigned char>(ch) < 0x20)
            return false;
    return !IsDeviceName(s);
}

} // namespace tarvola
