// Convolution speed: the reference loops against the exact direct engine and the engine as a run uses it
// (the transform method where the cost model picks it), on one thread and on every core, and against
// `sox ... fir` given the same taps as a dense coefficient list, on the same signal and kernels in one
// run, checking that the engines' bytes are identical to the reference's. Then the engine's resident peak
// on the largest signal a run takes, beside its signal and output buffers, for the 10,240-tap cases.
// Usage: bench_convolution [--frames N] [--case NAME]... [--unchecked]
// --unchecked skips the reference loops and the direct engine (slow on long kernels): timings only.
// bench_convolution --memory NAME [--threads N] measures the peak of one case alone.
#include "kernel/Convolution.h"
#include "kernel/designers/ReverbExport.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

// The resident peak and processor times come from getrusage where the platform has it (not on Windows):
// elsewhere the memory measure says it cannot run and child processor times read 0.
#if __has_include(<sys/resource.h>)
#include <sys/resource.h>
#define TARVOLA_HAS_RUSAGE 1
#else
#define TARVOLA_HAS_RUSAGE 0
#endif

using namespace tarvola;

namespace {

constexpr int TwoSeconds = 88200; // frames at 44.1 kHz

struct Case {
    std::string name;
    int bytesPerSample;
    std::vector<ConvolutionRecord> left;
    std::vector<ConvolutionRecord> right;
};

// `count` taps at distinct impulses spread over two seconds, in ascending order as the kernels keep them;
// every `outputEvery`-th tap (0: none) reads the output. The gains keep the sum near full scale.
std::vector<ConvolutionRecord> SpreadKernel(std::mt19937_64& random, int count, int outputEvery) {
    std::set<int> impulses = {0};
    std::uniform_int_distribution<int> impulse(1, TwoSeconds - 1);
    while (static_cast<int>(impulses.size()) < count)
        impulses.insert(impulse(random));
    std::uniform_real_distribution<double> gain(-1.0, 1.0);
    std::vector<ConvolutionRecord> kernel;
    for (int at : impulses) {
        const bool output = outputEvery > 0 && at > 0 && random() % outputEvery == 0;
        const long double value = at == 0 ? 0.5L : static_cast<long double>(gain(random)) * 2 / count;
        kernel.push_back({value, at, output ? TSourceKind::Output : TSourceKind::Input});
    }
    return kernel;
}

// An echo: the dry signal plus 15 feedback repeats a tenth of a second apart, fading.
std::vector<ConvolutionRecord> EchoKernel() {
    std::vector<ConvolutionRecord> kernel = {{1.0L, 0, TSourceKind::Input}};
    for (int k = 1; k < 16; ++k)
        kernel.push_back({0.45L / k, k * 4410, TSourceKind::Output});
    return kernel;
}

// A reverb as the reverb designer writes it: early reflections (Input) and general reverberation
// (Output, feedback delays from about 64 ms to 2.2 s) at 44.1 kHz.
Case ReverbCase(const std::string& name, std::uint8_t space, std::uint8_t room) {
    KernelModel model;
    std::unique_ptr<ReverbState> state = MakeReverbState();
    state->TargetImpulse = 0;
    state->Settings.GRType = space;
    state->Settings.ERType = room;
    GenerateReverb(*state, model.LeftKernel, model.RightKernel, [](const std::string&) {});
    return {name, 2, ConvolutionRecords(model.LeftKernel), ConvolutionRecords(model.RightKernel)};
}

std::vector<std::uint8_t> MakeSignal(std::mt19937_64& random, std::int64_t frames, int bytesPerSample) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(frames * 2 * bytesPerSample));
    std::normal_distribution<double> noise(0, bytesPerSample == 1 ? 30 : 6000);
    for (std::size_t i = 0; i < bytes.size(); i += bytesPerSample) {
        double value = noise(random);
        if (bytesPerSample == 1)
            bytes[i] = static_cast<std::uint8_t>(std::clamp(128 + value, 0.0, 255.0));
        else {
            const auto word = static_cast<std::int16_t>(std::clamp(value, -32768.0, 32767.0));
            bytes[i] = static_cast<std::uint8_t>(word);
            bytes[i + 1] = static_cast<std::uint8_t>(word >> 8);
        }
    }
    return bytes;
}

template <typename F>
double Seconds(F&& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The best of three runs: the quick ones are measured again against other work on a shared machine.
template <typename F>
double BestSeconds(F&& f) {
    double best = Seconds(f);
    for (int i = 1; i < 3; ++i)
        best = std::min(best, Seconds(f));
    return best;
}

// Processor seconds of the child processes waited for so far (0 where the platform does not say): on a
// busy machine sox's processor time is read beside the engine's, as its elapsed time suffers most.
double ChildProcessorSeconds() {
#if TARVOLA_HAS_RUSAGE
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
#else
    return 0;
#endif
}

struct SoxTimes {
    double seconds = -1;  // best of three, or negative when sox is missing or fails
    double processor = 0; // mean of three
};

// sox's fir effect on the same samples with the left kernel's taps as dense coefficients (sox applies one
// list to both channels; feedback taps are given as plain taps, which is the same work). Seconds of the
// whole command.
SoxTimes SoxSeconds(const Case& c, const std::vector<std::uint8_t>& input) {
    if (std::system("command -v sox >/dev/null 2>&1") != 0)
        return {};
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / "tarvola-bench-sox";
    fs::create_directories(folder);
    std::map<std::int64_t, long double> dense;
    for (const ConvolutionRecord& record : c.left)
        if (record.kind != TSourceKind::Pass && record.impulse >= 0)
            dense[record.impulse] += record.value;
    {
        std::ofstream coefficients(folder / "taps.txt");
        const std::int64_t last = dense.empty() ? 0 : dense.rbegin()->first;
        for (std::int64_t i = 0; i <= last; ++i) {
            const auto found = dense.find(i);
            coefficients << static_cast<double>(found == dense.end() ? 0.0L : found->second) << '\n';
        }
        std::ofstream signal(folder / "in.raw", std::ios::binary);
        signal.write(reinterpret_cast<const char*>(input.data()), static_cast<std::streamsize>(input.size()));
    }
    const std::string format = c.bytesPerSample == 1 ? "-e unsigned -b 8" : "-e signed -b 16";
    const std::string command = "sox -t raw -r 44100 " + format + " -c 2 " + (folder / "in.raw").string() +
                                " -t raw " + format + " -c 2 " + (folder / "out.raw").string() + " fir " +
                                (folder / "taps.txt").string() + " 2>/dev/null";
    int status = 0;
    const double processorStart = ChildProcessorSeconds();
    const double seconds = BestSeconds([&] { status = status == 0 ? std::system(command.c_str()) : status; });
    const double processor = (ChildProcessorSeconds() - processorStart) / 3;
    fs::remove_all(folder);
    return status == 0 ? SoxTimes{seconds, processor} : SoxTimes{};
}

// printf into a string, for the parts of a line that may be left out.
template <typename... Values>
std::string FormatText(const char* format, Values... values) {
    char text[160];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

// How the engine computed each channel.
std::string Methods(const ConvolutionEngine& engine) {
    std::string text;
    for (int c = 0; c < engine.Channels(); ++c) {
        const ConvolutionEngine::TransformSamples use = engine.TransformUse(c);
        text += c == 0 ? "left " : ", right ";
        text += use.used ? "transform, blocks of " + std::to_string(use.blockFrames) + ", " +
                               std::to_string(use.exact) + " samples exact"
                         : "direct";
    }
    return text;
}

// The machine's load: figures on a shared machine are read against it.
std::string LoadAverage() {
    char text[64] = "unknown";
    if (std::FILE* file = std::fopen("/proc/loadavg", "r")) {
        if (!std::fgets(text, sizeof text, file))
            std::snprintf(text, sizeof text, "unknown");
        std::fclose(file);
    }
    std::string load = text;
    return load.substr(0, load.find(' ', load.find(' ', load.find(' ') + 1) + 1));
}

double ProcessorSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

// The cases, their kernels drawn in this order from `random`; the reverbs, whose design takes much
// memory for a while, only when asked for.
std::vector<Case> MakeCases(std::mt19937_64& random, bool withReverbs) {
    std::vector<Case> cases;
    cases.push_back({"input-2000", 2, SpreadKernel(random, 2000, 0), SpreadKernel(random, 2000, 0)});
    cases.push_back({"input-10240", 2, SpreadKernel(random, 10240, 0), SpreadKernel(random, 10240, 0)});
    cases.push_back({"quarter-output-2000", 2, SpreadKernel(random, 2000, 4), SpreadKernel(random, 2000, 4)});
    cases.push_back(
        {"quarter-output-10240", 2, SpreadKernel(random, 10240, 4), SpreadKernel(random, 10240, 4)});
    cases.push_back({"8-bit-input-2000", 1, SpreadKernel(random, 2000, 0), SpreadKernel(random, 2000, 0)});
    cases.push_back({"echo-16-feedback", 2, EchoKernel(), EchoKernel()});
    if (withReverbs) {
        cases.push_back(ReverbCase("reverb-hall", GRHall, ERComplex2));
        cases.push_back(ReverbCase("reverb-cavern", GRCavern, ERComplex2));
    }
    return cases;
}

// The largest signal of the memory measure: as many frames as a run processes samples.
constexpr std::int64_t LargestFrames = MaxProcessedSamples;

#if TARVOLA_HAS_RUSAGE
double ResidentMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024; // kilobytes on Linux
}
#endif

// One engine run of a case on the largest signal, in a process of its own so that the resident peak is
// the run's: the peak beside the signal and output buffers, and the engine's share above them.
int MeasureMemory(const std::string& name, unsigned threads) {
#if !TARVOLA_HAS_RUSAGE
    std::printf("memory %s: skipped, this platform gives no resident peak\n", name.c_str());
    static_cast<void>(threads);
    return 0;
#else
    std::mt19937_64 random(2104);
    const std::vector<Case> cases = MakeCases(random, name.rfind("reverb", 0) == 0);
    const auto found =
        std::find_if(cases.begin(), cases.end(), [&](const Case& c) { return c.name == name; });
    if (found == cases.end())
        return 2;
    const std::vector<std::uint8_t> input = MakeSignal(random, LargestFrames, found->bytesPerSample);
    std::vector<std::uint8_t> output(input.size(), 1); // touched: resident before the run
    const double buffers = static_cast<double>(input.size() + output.size()) / (1 << 20);
    const double before = ResidentMegabytes();
    const ConvolutionSignal signal{input.data(), output.data(), input.size(), found->bytesPerSample, 2};
    std::string methods;
    const double seconds = Seconds([&] {
        ConvolutionEngine run(signal, found->left, found->right);
        run.Run({}, threads);
        methods = Methods(run);
    });
    const double peak = ResidentMegabytes();
    std::printf("memory %s, %lld stereo frames, %u thread%s: engine %.3f s; resident peak %.1f MB, of which "
                "signal and output buffers %.1f MB and the engine %.1f MB (%.2f times the buffers; the "
                "whole peak is %.2f times them)\n  engine: %s\n",
                name.c_str(), static_cast<long long>(LargestFrames), threads, threads == 1 ? "" : "s",
                seconds, peak, buffers, peak - before, (peak - before) / buffers, peak / buffers,
                methods.c_str());
    return 0;
#endif
}

// The memory measure of each of `names` on 1 thread and on every core, each in a process of its own.
void MeasureMemoryApart(const std::vector<std::string>& names, unsigned cores) {
    std::error_code error;
    const std::string self = std::filesystem::read_symlink("/proc/self/exe", error).string();
    if (!TARVOLA_HAS_RUSAGE || error) {
        for (const std::string& name : names)
            std::printf("memory %s: skipped, this platform gives no resident peak\n", name.c_str());
        return;
    }
    for (const std::string& name : names)
        for (unsigned threads : {1u, cores}) {
            std::fflush(stdout);
            const std::string command =
                "'" + self + "' --memory " + name + " --threads " + std::to_string(threads);
            if (std::system(command.c_str()) != 0)
                std::printf("memory %s: the measure failed\n", name.c_str());
        }
}

} // namespace

int main(int argc, char** argv) {
    std::int64_t frames = 1000000;
    std::vector<std::string> only;
    bool unchecked = false;
    std::string memoryCase;
    unsigned memoryThreads = 0;
    for (int i = 1; i < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--unchecked") {
            unchecked = true;
            --i;
        } else if (i + 1 >= argc)
            break;
        else if (option == "--frames")
            frames = std::atoll(argv[i + 1]);
        else if (option == "--case")
            only.push_back(argv[i + 1]);
        else if (option == "--memory")
            memoryCase = argv[i + 1];
        else if (option == "--threads")
            memoryThreads = static_cast<unsigned>(std::atoi(argv[i + 1]));
    }
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    if (!memoryCase.empty())
        return MeasureMemory(memoryCase, memoryThreads == 0 ? cores : memoryThreads);
    std::printf("convolution: %lld stereo frames, %u cores, load average %s\n",
                static_cast<long long>(frames), cores, LoadAverage().c_str());

    std::mt19937_64 random(2104);
    const std::vector<Case> cases = MakeCases(random, true);
    bool allIdentical = true;
    for (const Case& c : cases) {
        if (!only.empty() && std::find(only.begin(), only.end(), c.name) == only.end())
            continue;
        const std::vector<std::uint8_t> input = MakeSignal(random, frames, c.bytesPerSample);
        std::vector<std::uint8_t> reference(input.size()), engine(input.size());
        const ConvolutionSignal referenceSignal{input.data(), reference.data(), input.size(),
                                                c.bytesPerSample, 2};
        const ConvolutionSignal engineSignal{input.data(), engine.data(), input.size(), c.bytesPerSample, 2};
        {
            const ConvolutionEngine plan(engineSignal, c.left, c.right);
            if (plan.ShortestFeedbackDelay(0) != ConvolutionEngine::NoFeedback)
                std::printf("  %s: shortest feedback delays %lld and %lld frames\n", c.name.c_str(),
                            static_cast<long long>(plan.ShortestFeedbackDelay(0)),
                            static_cast<long long>(plan.ShortestFeedbackDelay(1)));
        }
        const double referenceTime =
            unchecked ? 0 : Seconds([&] { ConvolveReference(referenceSignal, c.left, c.right); });
        const SoxTimes soxTimes = SoxSeconds(c, input);
        const double soxTime = soxTimes.seconds;
        for (unsigned threads : {1u, cores}) {
            std::fill(engine.begin(), engine.end(), 0);
            const double directTime = unchecked ? 0 : BestSeconds([&] {
                ConvolutionEngine run(engineSignal, c.left, c.right);
                run.Run({}, threads, {.method = ConvolutionMethod::Direct});
            });
            const bool directIdentical = engine == reference;
            std::fill(engine.begin(), engine.end(), 0);
            const double processorStart = ProcessorSeconds();
            std::string methods;
            const double engineTime = BestSeconds([&] {
                ConvolutionEngine run(engineSignal, c.left, c.right);
                run.Run({}, threads);
                methods = Methods(run);
            });
            const double engineProcessor = (ProcessorSeconds() - processorStart) / 3;
            const bool identical = unchecked || (directIdentical && engine == reference);
            allIdentical = allIdentical && identical;
            const std::string sox =
                soxTime < 0 ? "sox skipped (not installed, or it failed)"
                            : FormatText("sox %.3f s, ratio to sox %.2fx", soxTime, soxTime / engineTime);
            std::printf("case %s, %u thread%s: reference %.3f s, direct %.3f s, ratio %.1fx, engine %.3f s, "
                        "ratio %.1fx, %s, identical %s\n",
                        c.name.c_str(), threads, threads == 1 ? "" : "s", referenceTime, directTime,
                        referenceTime / directTime, engineTime, referenceTime / engineTime, sox.c_str(),
                        unchecked   ? "unchecked"
                        : identical ? "yes"
                                    : "no");
            std::printf(
                "  engine: %s; processor time %.3f s (mean of 3) over %.3f s (best of 3), sox's %.3f s, "
                "load average %s\n",
                methods.c_str(), engineProcessor, engineTime, soxTimes.processor, LoadAverage().c_str());
            std::fflush(stdout);
        }
    }
    std::vector<std::string> measured;
    for (const std::string name : {"quarter-output-10240", "input-10240"})
        if (only.empty() || std::find(only.begin(), only.end(), name) != only.end())
            measured.push_back(name);
    MeasureMemoryApart(measured, cores);
    return allIdentical ? 0 : 1;
}
