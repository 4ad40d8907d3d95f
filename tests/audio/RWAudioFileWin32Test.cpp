// The audio files on the Windows file system: saving replaces an existing file in one step, a file that
// cannot be replaced stays as it was, and a name in the code page works.
#include <windows.h>

#include "audio/RWAudioFileWin32.h"

#include "tests/support/AudioFileBytes.h"
#include "tests/support/MemoryAudioFileSystem.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace tarvola {
namespace {

using namespace audiotest;

class RWAudioFileWin32 : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        ASSERT_NE(GetTempPathA(MAX_PATH, temp), 0u);
        folder_ = std::string(temp) + "tarvola_audiofiles_" + std::to_string(GetCurrentProcessId()) + "\\";
        CreateDirectoryA(folder_.c_str(), nullptr);
    }
    void TearDown() override {
        for (const std::string& name : created_) {
            SetFileAttributesA(name.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(name.c_str());
        }
        RemoveDirectoryA(folder_.c_str());
    }

    std::string Name(const std::string& name) {
        created_.push_back(folder_ + name);
        return folder_ + name;
    }

    static Bytes LoadBytes(const std::string& name) {
        std::ifstream in(name, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    static void StoreBytes(const std::string& name, const Bytes& bytes) {
        std::ofstream out(name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    std::string folder_;
    std::vector<std::string> created_;
    TScriptedPrompts prompts_;
};

TEST_F(RWAudioFileWin32, SavesOverAnExistingFileAndReadsItBack) {
    IAudioFileSystem& files = Win32AudioFileSystem();
    const Bytes samples = Pattern(400);
    // "Klänge.wav" in the ANSI code page.
    for (const std::string& name : {Name("sound.wav"), Name("Kl\xE4nge.aiff")}) {
        SCOPED_TRACE(name);
        StoreBytes(name, Pattern(5000, 3));
        auto writer = CreateAudioFileByExtension(name, prompts_, files);
        ASSERT_TRUE(writer->SaveToFile(name, samples.data(), 400, 0, 16, 2, 44100, 2, nullptr, false));
        EXPECT_EQ(LoadBytes(name).size(), (name.ends_with(".wav") ? 44u : 54u) + 400u);
        EXPECT_FALSE(files.Exists(name + ".~tmp"));

        auto reader = CreateAudioFileByMagic(name, prompts_, files);
        ASSERT_NE(reader, nullptr);
        ASSERT_TRUE(reader->Open(name));
        Bytes read(400);
        EXPECT_EQ(reader->ReadBlock(read.data(), 400), 400);
        EXPECT_EQ(read, samples);
    }
    EXPECT_TRUE(prompts_.errors.empty() && prompts_.messages.empty() && prompts_.reports.empty());
}

TEST_F(RWAudioFileWin32, AFileThatCannotBeReplacedStaysAsItWas) {
    IAudioFileSystem& files = Win32AudioFileSystem();
    const std::string name = Name("locked.wav");
    const Bytes original = Pattern(300, 5);
    StoreBytes(name, original);
    // Held open without sharing: nobody can replace it meanwhile.
    HANDLE holder = CreateFileA(name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    const Bytes samples = Pattern(100);
    auto writer = CreateAudioFileByExtension(name, prompts_, files);
    EXPECT_FALSE(writer->SaveToFile(name, samples.data(), 100, 0, 16, 2, 44100, 2, nullptr, false));
    CloseHandle(holder);
    EXPECT_EQ(prompts_.errors, std::vector<std::string>{CouldNotOpenFileText});
    EXPECT_EQ(LoadBytes(name), original);
    EXPECT_FALSE(files.Exists(name + ".~tmp"));
}

} // namespace
} // namespace tarvola
