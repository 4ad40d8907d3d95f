// The Windows side of the audio file readers and writers: the file system and the prompts they use in the
// program. Files go through the system's own ANSI calls (names in the code page work, and a save replaces
// its target in one step); the prompts are the form layer's message boxes and the raw-PCM dialog.
#pragma once

#include "audio/RWAudioFile.h"

namespace tarvola {

// Exists: GetFileAttributesA; OpenRead and Create: TFileStream (shared for reading and writing); Replace:
// MoveFileExA with MOVEFILE_REPLACE_EXISTING; Remove: DeleteFileA.
IAudioFileSystem& Win32AudioFileSystem();

// ShowError: an error box with OK; AskAbortOrIgnore: an error box with Abort and Ignore; ShowMessage: a
// plain box; AskRawPCMParams: TobjPCMParamsDlg, centred on the desktop, run modally.
IAudioFilePrompts& Win32AudioFilePrompts();

} // namespace tarvola
