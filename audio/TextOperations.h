// Validators for the edit fields of the designers and dialogs, the checked conversions that go with them,
// and file-name checks for preset and folder names.
//
// IsNumber and IsInteger are quick grammar checks that let a few texts through which are no number
// ("-.", "+-", "1.5e", and "-" or "+" as integers). Read a value with NumberValue or IntegerValue: they
// accept only what the validator accepts and converts completely into range, and give no value otherwise.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tarvola {

// ---- Validators

// True for the digits 0 to 9.
bool IsDigitChar(char ch);
// Optional leading signs, digits, at most one point, and a lower-case 'e' exponent (signed) after a digit
// and a point: "1.5e-3", "-2.25" and "+7" are numbers; "1e5", "1.2.3", "1.5E3" and "." are not.
bool IsNumber(const std::string& s);
// Signs and digits: "12" and "-3" are integers, "--5" is not.
bool IsInteger(const std::string& s);

// ---- Checked conversions

// The value of S when IsNumber(S) and S converts completely to a finite double.
std::optional<double> NumberValue(const std::string& s);
// The value of S when IsInteger(S) and S converts completely to a 32-bit integer.
std::optional<std::int32_t> IntegerValue(const std::string& s);

// ---- File names

// False when S holds one of < > ? \ | " * / : (true otherwise, also for the empty text).
bool IsValidFileName(const std::string& s);
// IsValidFileName, and further what Windows refuses or alters: an empty or blank name, control
// characters, a trailing space or point, and the device names (CON, PRN, AUX, NUL, COM1-9, LPT1-9, also
// with an extension). For names the user types for new presets and folders.
bool IsUsableFileName(const std::string& s);

} // namespace tarvola
