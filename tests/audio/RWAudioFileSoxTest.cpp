// Checks the readers and writers against another program: every file written here is read by sox with the
// same format and samples, and files that sox writes read here with the samples sox decodes from them.
// Runs natively only, and skips when sox (Debian package sox) is not installed.
#include "audio/RWAudioFile.h"

#include "tests/support/AudioFileBytes.h"
#include "tests/support/MemoryAudioFileSystem.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace tarvola {
namespace {

using namespace audiotest;

class RWAudioFileSox : public ::testing::Test {
protected:
    void SetUp() override {
#ifdef _WIN32
        GTEST_SKIP() << "sox is run by the native tests only";
#else
        if (std::system("sox --version >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "sox is not installed (Debian package sox): the checks against it are skipped";
        folder_ = std::filesystem::temp_directory_path() /
                  ("tarvola-sox-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)) + "-" +
                   std::to_string(std::rand()));
        std::filesystem::create_directories(folder_);
#endif
    }
    void TearDown() override {
        if (!folder_.empty())
            std::filesystem::remove_all(folder_);
    }

    std::string PathOf(const std::string& name) const {
        return (folder_ / name).string();
    }

    // Runs a command and returns what it printed; fails the test when it does not succeed.
    static std::string Run(const std::string& command) {
        std::string output;
        FILE* pipe = popen((command + " 2>&1").c_str(), "r");
        if (pipe == nullptr) {
            ADD_FAILURE() << "cannot run " << command;
            return output;
        }
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe) != nullptr)
            output += buffer;
        EXPECT_EQ(pclose(pipe), 0) << command << "\n" << output;
        return output;
    }

    static Bytes ReadFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    static void WriteFile(const std::string& path, const Bytes& bytes) {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    // The samples of a file as sox decodes them, in our memory layout (low byte first, 8-bit unsigned).
    Bytes DecodedBySox(const std::string& input, int bits, const std::string& inputOptions = "") {
        const std::string output = PathOf("decoded.raw");
        Run("sox " + inputOptions + " '" + input + "' -t raw -e " + (bits == 8 ? "unsigned" : "signed") +
            " -b " + std::to_string(bits) + " -L '" + output + "'");
        return ReadFile(output);
    }

    std::filesystem::path folder_;
};

// Our reader over the file's bytes (headerless files answer the raw dialog with the given format).
struct TReadBack {
    bool opened = false;
    TobjAudioInfo info;
    Bytes samples;
    std::vector<std::string> reports;
};

TReadBack ReadHere(const Bytes& file, int rate, int bits, int channels) {
    TScriptedPrompts prompts;
    prompts.rawAnswer = TRawPCMParams{bits, rate, channels, bits / 8, 0};
    TMemoryAudioFileSystem files;
    files.Put("C:\\in\\file", file);
    TReadBack result;
    auto reader = CreateAudioFileByMagic("C:\\in\\file", prompts, files);
    result.opened = reader->Open("C:\\in\\file");
    result.info = reader->AudioInfo();
    result.samples.resize(static_cast<std::size_t>(result.info.DataBytes));
    if (result.opened) {
        EXPECT_EQ(reader->ReadBlock(result.samples.data(), result.info.DataBytes), result.info.DataBytes);
    }
    result.reports = prompts.reports;
    return result;
}

TEST_F(RWAudioFileSox, ReadsEveryFileWeWrite) {
    for (const char* ext : {".wav", ".aiff", ".raw"})
        for (int bits : {8, 16, 24, 32})
            for (int channels : {1, 2}) {
                SCOPED_TRACE(std::string(ext) + " " + std::to_string(bits) + " bits, " +
                             std::to_string(channels) + " channels");
                const int rate = 32000;
                const int frames = 1001;
                const Bytes samples = Pattern(static_cast<std::size_t>(frames * channels * bits / 8), bits);
                TScriptedPrompts prompts;
                TMemoryAudioFileSystem files;
                const std::string name = std::string("C:\\out\\written") + ext;
                auto writer = CreateAudioFileByExtension(name, prompts, files);
                ASSERT_TRUE(writer->SaveToFile(name, samples.data(),
                                               static_cast<std::int32_t>(samples.size()), 0, bits, bits / 8,
                                               rate, channels, nullptr, false));
                const std::string path = PathOf(std::string("written") + ext);
                WriteFile(path, files.Get(name));

                std::string rawOptions;
                if (std::string(ext) == ".raw") {
                    // Appended piece by piece: GCC 12 misreads a chain of + on temporaries as overlapping
                    // copies (-Wrestrict) on i686.
                    rawOptions = "-t raw -r ";
                    rawOptions += std::to_string(rate);
                    rawOptions += " -c ";
                    rawOptions += std::to_string(channels);
                    rawOptions += " -b ";
                    rawOptions += std::to_string(bits);
                    rawOptions += bits == 8 ? " -e unsigned -L" : " -e signed -L";
                } else {
                    std::string info;
                    for (const char* option : {"-r", "-c", "-b", "-s"})
                        info += Run(std::string("soxi ") + option + " '" + path + "'");
                    EXPECT_EQ(info, std::to_string(rate) + "\n" + std::to_string(channels) + "\n" +
                                        std::to_string(bits) + "\n" + std::to_string(frames) + "\n");
                }
                EXPECT_EQ(DecodedBySox(path, bits, rawOptions), samples);
            }
}

TEST_F(RWAudioFileSox, ReadsFilesThatSoxWrites) {
    struct Case {
        const char* ext;
        int bits;
    };
    const Case cases[] = {{".wav", 8},  {".wav", 16},  {".wav", 24}, {".wav", 32},
                          {".aiff", 8}, {".aiff", 16}, {".aiff", 24}};
    for (const Case& c : cases)
        for (int channels : {1, 2}) {
            SCOPED_TRACE(std::string(c.ext) + " " + std::to_string(c.bits) + " bits, " +
                         std::to_string(channels) + " channels");
            const std::string path = PathOf(std::string("bysox") + c.ext);
            Run("sox -n -r 22050 -c " + std::to_string(channels) + " -b " + std::to_string(c.bits) + " '" +
                path + "' synth 0.05 sine 440 sine 660");
            const Bytes expected = DecodedBySox(path, c.bits);
            const TReadBack read = ReadHere(ReadFile(path), 0, 0, 0);
            ASSERT_TRUE(read.opened);
            EXPECT_TRUE(read.reports.empty());
            EXPECT_EQ(read.info.SampleRate, 22050);
            EXPECT_EQ(read.info.Channels, channels);
            EXPECT_EQ(read.info.BitsPerSample, c.bits);
            EXPECT_EQ(read.samples, expected);
        }
}

} // namespace
} // namespace tarvola
