// File times that tests move by hand, as a change inside a folder moves its write time on.
#pragma once

#include <filesystem>

namespace tarvola::test {

// Moves the write time of a file or folder a day back; false when the system refuses.
bool MoveWriteTimeBack(const std::filesystem::path& path);

} // namespace tarvola::test
