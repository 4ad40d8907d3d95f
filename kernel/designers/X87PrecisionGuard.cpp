#include "kernel/designers/X87PrecisionGuard.h"

#include "base/Numerics.h"

#include <cfloat>

#if !defined(__i386__) && !defined(__x86_64__)
#error "The designers need the x87 80-bit long double of an x86 processor"
#endif

namespace tarvola {

namespace {

// True when 1 + the long double epsilon differs from 1, i.e. the FPU keeps 64 significand bits. The
// volatile operand keeps the compiler from folding the sum at compile time.
bool ExtendedPrecisionWorks() {
    volatile long double one = 1.0L;
    const long double sum = one + LDBL_EPSILON;
    return sum != 1.0L;
}

} // namespace

std::uint16_t X87PrecisionGuard::ControlWord() {
    std::uint16_t word = 0;
    __asm__ volatile("fnstcw %0" : "=m"(word));
    return word;
}

void X87PrecisionGuard::SetControlWord(std::uint16_t word) {
    __asm__ volatile("fldcw %0" : : "m"(word));
}

X87PrecisionGuard::X87PrecisionGuard() : saved_(ControlWord()) {
    // Keep the reserved bits; precision control 11 (64 bits), rounding control 00 (nearest, ties to even),
    // all six exception masks set.
    const std::uint16_t word = static_cast<std::uint16_t>((saved_ & ~0x0F3F) | kGenerationControlWord);
    SetControlWord(word);
    if (!ExtendedPrecisionWorks()) {
        SetControlWord(saved_);
        throw FloatError("The processor does not compute with 80-bit extended precision");
    }
}

X87PrecisionGuard::~X87PrecisionGuard() {
    SetControlWord(saved_);
}

} // namespace tarvola
