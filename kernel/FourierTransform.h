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

// Memory with the alignment FFTW's SIMD code expects, zero-filled.
template <typename T>
class AlignedBuffer {
public:
    AlignedBuffer() = default;
    explicit AlignedBuffer(std::size_t count);
    T* data() { return data_.get(); }
    const T* data() const { return data_.get(); }
    std::size_t size() const { return count_; }
    T& operator[](std::size_t i) { return data_.get()[i]; }
    const T& operator[](std::size_t i) const { return data_.get()[i]; }

private:
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
