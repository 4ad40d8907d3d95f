// X87PrecisionGuard: the designers compute in 80-bit long double, and which way a tie rounds depends on the
// x87 control word. A DLL loaded into the process, or a platform default of 53-bit precision, could change
// it behind our back. A generation holds this guard: it sets 64-bit precision, round-to-nearest-even and
// masked exceptions (results are checked explicitly), checks that extended precision really works, and
// puts the caller's control word back on every exit path.
#pragma once

#include <cstdint>

namespace tarvola {

class X87PrecisionGuard {
public:
    // Raises FloatError when long double does not carry 64 significand bits after the switch.
    X87PrecisionGuard();
    ~X87PrecisionGuard();
    X87PrecisionGuard(const X87PrecisionGuard&) = delete;
    X87PrecisionGuard& operator=(const X87PrecisionGuard&) = delete;

    // The control word the guard runs the generation with (0x037F on a standard x87 set-up).
    static constexpr std::uint16_t kGenerationControlWord = 0x037F;

    // The current control word, and a way to set one (for tests that play a DLL that changed it).
    static std::uint16_t ControlWord();
    static void SetControlWord(std::uint16_t word);

private:
    std::uint16_t saved_;
};

} // namespace tarvola
