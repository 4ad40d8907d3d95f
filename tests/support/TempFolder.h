// A fresh folder under the system's temporary folder, removed with everything in it when the object goes.
#pragma once

#include <filesystem>
#include <string>

namespace tarvola::test {

class TTempFolder {
public:
    TTempFolder();
    ~TTempFolder();
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // The folder as text, ending in the separator.
    std::string Folder() const;
    // Writes a file of that name (bytes as given) and returns its full path.
    std::filesystem::path Write(const std::string& name, const std::string& bytes = std::string()) const;

private:
    std::filesystem::path path_;
};

} // namespace tarvola::test
