// Real discrete Fourier transforms of one power-of-two size, by FFTW in double precision: the forward
// transform of N real values gives the N/2 + 1 bins of the half spectrum, the inverse transform (not
// normalised) gives N real values back from a half spectrum.
//
// FFTW's planner is not thread-safe: plans are made and destroyed under one process-wide lock, and only
// then shared. Executing a plan on other arrays is thread-safe, so one RealTransform serves every thread
// of a run, each with its own buffers from SpectrumBuffer and SampleBuffer (FFTW's alignment).
#pragma once

#include <complex>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace tarvola {

// Out-of-range indexes are errors. Element access checks its index where assertions are on (the native
// sanitizer build); the release build leaves that to the hot loops, each of which takes the stretch it
// works on with Window, checked in every build, and so proves its bounds once rather than per element.
#ifdef NDEBUG
inline constexpr bool kCheckedBufferIndexes = false;
#else
inline constexpr bool kCheckedBufferIndexes = true;
#endif

// Raises RangeError for an index or a stretch outside a buffer of `count` elements.
[[noreturn]] void ThrowBufferRangeError(std::size_t first, std::size_t length, std::size_t count);

// Memory with the alignment FFTW's SIMD code expects, zero-filled.
template <typename T>
class AlignedBuffer {
public:
    AlignedBuffer() = default;
    explicit AlignedBuffer(std::size_t count);
    T* data() { return data_.get(); }
    const T* data() const { return data_.get(); }
    std::size_t size() const { return count_; }
    T& operator[](std::size_t i) {
        CheckElement(i);
        return data_.get()[i];
    }
    const T& operator[](std::size_t i) const {
        CheckElement(i);
        return data_.get()[i];
    }
    // The `length` elements from `first`; RangeError in every build when they are not all in the buffer.
    T* Window(std::size_t first, std::size_t length) {
        CheckWindow(first, length);
        return data_.get() + first;
    }
    const T* Window(std::size_t first, std::size_t length) const {
        CheckWindow(first, length);
        return data_.get() + first;
    }

private:
    void CheckElement(std::size_t i) const {
        if constexpr (kCheckedBufferIndexes)
            if (i >= count_)
                ThrowBufferRangeError(i, 1, count_);
    }
    void CheckWindow(std::size_t first, std::size_t length) const {
        if (first > count_ || length > count_ - first)
            ThrowBufferRangeError(first, length, count_);
    }

    struct Free {
        void operator()(T* p) const;
    };
    std::unique_ptr<T, Free> data_;
    std::size_t count_ = 0;
};

using SampleBuffer = AlignedBuffer<double>;
using SpectrumBuffer = AlignedBuffer<std::complex<double>>;

class RealTransform {
public:
    // `size` must be a power of two, at least 2.
    explicit RealTransform(std::int64_t size);
    ~RealTransform();
    RealTransform(const RealTransform&) = delete;
    RealTransform& operator=(const RealTransform&) = delete;

    std::int64_t Size() const { return size_; }
    std::int64_t Bins() const { return size_ / 2 + 1; }

    // `samples` holds Size() values and `spectrum` Bins(); both come from the aligned buffers above.
    void Forward(const double* samples, std::complex<double>* spectrum) const;
    // Overwrites `spectrum` (FFTW's inverse real transform works in place on its input).
    void Inverse(std::complex<double>* spectrum, double* samples) const;

private:
    std::int64_t size_;
    void* forward_ = nullptr;
    void* inverse_ = nullptr;
};

} // namespace tarvola
