// Types the shell layer shares: its errors, and the answers of shell items that are plain arithmetic on
// the shell's numbers (so that they are tested natively).
#pragma once

#include "shell/VirtualWideStrings.h"

#include <cstdint>
#include <stdexcept>
#include <string>

namespace tarvola {

// A shell call that failed where the caller needs it to succeed; carries the call's HRESULT.
class EShellError : public std::runtime_error {
public:
    EShellError(const std::string& message, std::int32_t hr) : std::runtime_error(message), hr_(hr) {}
    std::int32_t HResult() const { return hr_; }

private:
    std::int32_t hr_;
};

// A shell item asked for on a path the shell cannot parse.
class EVSTInvalidFileName : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The order of two items from IShellFolder::CompareIDs: its code word is a signed 16-bit number; a failed
// call counts as a tie. Negative, zero or positive (-1, 0, 1).
int CompareIDsResult(std::int32_t hr);

// Letters of the file attributes in the order A H R S C (archive, hidden, read-only, system, compressed).
WideString AttributeLetters(std::uint32_t fileAttributes);

// The kind and flags of a detail column, from the shell's SHCOLSTATE bits.
struct TDetailsColumnStates {
    bool string = false;
    bool integer = false;
    bool date = false;
    bool onByDefault = false;
    bool slow = false;
    bool extended = false;
    bool secondaryUI = false;
    bool hidden = false;
    friend bool operator==(const TDetailsColumnStates&, const TDetailsColumnStates&) = default;
};
TDetailsColumnStates DetailsColumnStatesOf(std::uint32_t shellColumnState);

// A folder that claims this many detail columns or more is taken to claim none.
constexpr int kMaxDetailsColumns = 200;

} // namespace tarvola
