// The Windows side of the audio file readers and writers: the file system they use in the program (the
// system's own ANSI file calls, so names in the code page work and a save replaces its target in one step).
#pragma once

#include "audio/RWAudioFile.h"

namespace tarvola {

// Exists: GetFileAttributesA; OpenRead and Create: TFileStream (shared for reading and writing); Replace:
// MoveFileExA with MOVEFILE_REPLACE_EXISTING; Remove: DeleteFileA.
IAudioFileSystem& Win32AudioFileSystem();

} // namespace tarvola
