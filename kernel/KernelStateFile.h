// The kernel designer's whole state in one file layout, used for the ".ker" presets and for the state file
// "KrnlPersist.dat". Little-endian, packed, no trailer:
//
//   offset  size    content
//   0       4       "VER1"
//   4       24      LeftStats  (TChannelStats; its Count is the number of left records)
//   28      24      RightStats
//   52      680     LeftViews  (ten TViewBounds of 68 bytes, view 1 first)
//   732     680     RightViews
//   1412    4       ViewNumber
//   1416    68      LeftEditorBounds
//   1484    68      RightEditorBounds
//   1552    32 * L  the left kernel's records (TImpulseRec), ascending impulse
//   ...     32 * R  the right kernel's records
//
// An older layout lacks the tag: everything sits 4 bytes lower. A record's cached bar rectangle and
// selected byte are written as they stand.
//
// Reading repairs what no file the program writes holds, so the model is always consistent afterwards:
// counts are taken from the bytes present (at most 10,240 per kernel, whole records only); records
// outside the impulse domain are dropped, the rest sorted with the first of equal impulses kept; a kind
// above 2 reads as Pass and a value that is no finite number as 0; a ViewNumber outside 1..10 becomes 1;
// a bounds record whose span is impossible (impulses outside the domain, Width not High - Low + 1 or
// outside 1..10,241) takes its default; every bounds record is then recomputed and the statistics follow
// the lists. A file too short for the fixed fields loads nothing.
#pragma once

#include "kernel/KrnlDsgnTypes.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarvola {

constexpr std::size_t kKernelStateFixedSize = 1552; // with the tag; records follow
constexpr std::int32_t kMaxColumns = 10241;         // the widest span a histogram can lay out
constexpr std::size_t kMaxPresetNameLength = 50;

// The file image of the model. Each record count is the real size of its kernel.
std::vector<std::uint8_t> WriteKernelState(const KernelModel& model);
// Reads a file image into the model's kernels and records (without notification), repairing it as
// described above. False, with the model untouched, when the image is too short for the fixed fields.
bool ReadKernelState(const std::vector<std::uint8_t>& bytes, KernelModel& model);

// ---- The designer's state file

constexpr const char* kStateFileName = "KrnlPersist.dat";

// At set-up: reads the state file when it exists and can be read (otherwise the model keeps what it holds),
// then selects the current editor bounds' span. True when the file was loaded.
bool LoadStateFile(KernelModel& model, const std::string& statePath);
// At exit: writes the state file whole or not at all; raises StreamError when it cannot be written.
void SaveStateFile(const KernelModel& model, const std::string& statePath);

// ---- Presets

// A preset name that cannot be a file of its own in the current folder (see IsUsableFileName), or is
// longer than 50 characters.
class PresetNameError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// CurrentFolder (ending in its separator) + Name + ".ker"; raises PresetNameError for an unusable name.
std::string PresetPath(const std::string& currentFolder, const std::string& name);
// The last component of a path up to its first point: "C:\Presets\Hall.big.ker" gives "Hall".
std::string PresetTitle(const std::string& fileName);

struct TPresetLoadResult {
    bool Loaded = false;
    std::string Message; // for the user when nothing was loaded
    std::string Caption; // the designer's caption when loaded: "Kernel: " + the preset's title
};

// Loads a preset into the model and selects the editor bounds' span; the designer then refreshes its
// controls and views and records the undo entry "Load Preset". A missing or unreadable file leaves the
// model as it was and says why.
TPresetLoadResult LoadPresetFile(KernelModel& model, const std::string& fileName);
// Saves the model as a new preset in the folder. False, writing nothing, when a preset of that name is
// there already; raises StreamError when the file cannot be written.
bool SavePresetFile(const KernelModel& model, const std::string& currentFolder, const std::string& name);
// Deletes the preset of that name in the folder; true when a file was deleted.
bool DeletePresetFile(const std::string& currentFolder, const std::string& name);

} // namespace tarvola
