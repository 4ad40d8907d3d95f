#include "kernel/FourierTransform.h"

#include "base/Numerics.h"

#include <fftw3.h>

#include <mutex>
#include <new>
#include <stdexcept>
#include <string>

namespace tarvola {
namespace {

std::mutex& PlannerLock() {
    static std::mutex lock;
    return lock;
}

bool IsPowerOfTwo(std::int64_t n) {
    return n >= 2 && (n & (n - 1)) == 0;
}

} // namespace

void ThrowBufferRangeError(std::size_t first, std::size_t length, std::size_t count) {
    throw RangeError("Buffer index out of bounds (" + std::to_string(first) + ", " + std::to_string(length) +
                     " of " + std::to_string(count) + ")");
}

template <typename T>
AlignedBuffer<T>::AlignedBuffer(std::size_t count) : count_(count) {
    const std::size_t bytes = CheckedMul(count, sizeof(T));
    void* memory = fftw_malloc(bytes == 0 ? 1 : bytes);
    if (memory == nullptr)
        throw std::bad_alloc();
    data_.reset(static_cast<T*>(memory));
    for (std::size_t i = 0; i < count; ++i)
        data_.get()[i] = T{};
}

template <typename T>
void AlignedBuffer<T>::Free::operator()(T* p) const {
    fftw_free(p);
}

template class AlignedBuffer<double>;
template class AlignedBuffer<std::complex<double>>;

RealTransform::RealTransform(std::int64_t size) : size_(size) {
    if (!IsPowerOfTwo(size) || size > (std::int64_t{1} << 24))
        throw std::invalid_argument("RealTransform: size must be a power of two");
    // The plans are made on buffers of the alignment every later buffer has; FFTW_ESTIMATE leaves them
    // untouched and makes the same plan on every run.
    SampleBuffer samples(static_cast<std::size_t>(size));
    SpectrumBuffer spectrum(static_cast<std::size_t>(Bins()));
    auto* bins = reinterpret_cast<fftw_complex*>(spectrum.data());
    const int n = static_cast<int>(size);
    std::lock_guard lock(PlannerLock());
    forward_ = fftw_plan_dft_r2c_1d(n, samples.data(), bins, FFTW_ESTIMATE);
    inverse_ = fftw_plan_dft_c2r_1d(n, bins, samples.data(), FFTW_ESTIMATE);
    if (forward_ == nullptr || inverse_ == nullptr) {
        if (forward_ != nullptr)
            fftw_destroy_plan(static_cast<fftw_plan>(forward_));
        if (inverse_ != nullptr)
            fftw_destroy_plan(static_cast<fftw_plan>(inverse_));
        throw std::runtime_error("RealTransform: no plan for this size");
    }
}

RealTransform::~RealTransform() {
    std::lock_guard lock(PlannerLock());
    fftw_destroy_plan(static_cast<fftw_plan>(forward_));
    fftw_destroy_plan(static_cast<fftw_plan>(inverse_));
}

void RealTransform::Forward(const double* samples, std::complex<double>* spectrum) const {
    // FFTW leaves the input of a forward real transform unchanged.
    fftw_execute_dft_r2c(static_cast<fftw_plan>(forward_), const_cast<double*>(samples),
                         reinterpret_cast<fftw_complex*>(spectrum));
}

void RealTransform::Inverse(std::complex<double>* spectrum, double* samples) const {
    fftw_execute_dft_c2r(static_cast<fftw_plan>(inverse_), reinterpret_cast<fftw_complex*>(spectrum),
                         samples);
}

} // namespace tarvola
