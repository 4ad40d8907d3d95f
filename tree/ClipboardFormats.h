// The clipboard formats the tree control offers: one process-wide registry of formats, each tied to the tree
// class that offers it (with its descendants) and sorted by priority, and the per-tree list of the format
// names a tree allows. The records mirror the platform's: TFormatEtc has FORMATETC's fields and values, so
// the matching rules and the registry are plain C++ and the Win32 side converts field by field.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tarvola {

// Storage medium kinds (tymed bits) and the content aspect, with the platform's values.
enum : std::uint32_t {
    TymedHGlobal = 1,
    TymedFile = 2,
    TymedIStream = 4,
    TymedIStorage = 8,
    TymedGdi = 16,
    TymedMfPict = 32,
    TymedEnhMf = 64,
    AspectContent = 1,
};

// The result codes of the data object's rules, with the platform's HRESULT values.
using TResultCode = std::int32_t;
constexpr TResultCode ResultOk = 0;
constexpr TResultCode ResultFalse = 1;
constexpr TResultCode ResultFail = static_cast<TResultCode>(0x80004005);
constexpr TResultCode ResultFormatEtc = static_cast<TResultCode>(0x80040064); // DV_E_FORMATETC
constexpr TResultCode ResultLIndex = static_cast<TResultCode>(0x80040068);    // DV_E_LINDEX
constexpr TResultCode ResultTymed = static_cast<TResultCode>(0x80040069);     // DV_E_TYMED
constexpr TResultCode ResultDvAspect = static_cast<TResultCode>(0x8004006B);  // DV_E_DVASPECT

// Standard clipboard format ids the tree uses.
constexpr std::uint16_t StandardFormatText = 1;
constexpr std::uint16_t StandardFormatUnicodeText = 13;

// The names the tree registers its own formats under.
inline constexpr const char* VirtualTreeDataFormatName = "Virtual Tree Data";
inline constexpr const char* VirtualTreeReferenceFormatName = "Virtual Tree Reference";

struct TFormatEtc {
    std::uint16_t cfFormat = 0;
    const void* ptd = nullptr;
    std::uint32_t dwAspect = AspectContent;
    std::int32_t lindex = -1;
    std::uint32_t tymed = TymedHGlobal;
    bool operator==(const TFormatEtc&) const = default;
};
using TFormatEtcArray = std::vector<TFormatEtc>;

// A tree class as the registry sees it: a name and the class it derives from.
struct TTreeClass {
    const char* Name;
    const TTreeClass* Parent;
    // True for this class itself and for every descendant of ancestor.
    bool InheritsFrom(const TTreeClass& ancestor) const;
};
const TTreeClass& BaseVirtualTreeClass();
const TTreeClass& CustomVirtualStringTreeClass();

// The fixed description of a standard format id (1 to 16), or empty for any other id.
std::string StandardFormatDescription(std::uint16_t id);

struct TClipboardFormatListEntry {
    std::string Description;
    const TTreeClass* TreeClass;
    std::uint32_t Priority;
    TFormatEtc FormatEtc;
};

class TClipboardFormats;

class TClipboardFormatList {
public:
    // The process-wide registry (GUI thread only).
    static TClipboardFormatList& Global();

    // Adds an entry and keeps the list sorted by priority, lowest first.
    void Add(const std::string& description, const TTreeClass& treeClass, std::uint32_t priority,
             const TFormatEtc& formatEtc);
    void Clear() { entries_.clear(); }
    const std::vector<TClipboardFormatListEntry>& Entries() const { return entries_; }
    // In priority order, the formats of treeClass and its ancestors, limited to the allowed names when given.
    void CollectFormats(const TTreeClass& treeClass, TFormatEtcArray& formats,
                        const TClipboardFormats* allowed) const;
    // The tree class of the entry with this name (ASCII case ignored; the latest registration wins) and its
    // format id; null and 0 when there is none.
    const TTreeClass* FindFormatByName(const std::string& description, std::uint16_t& cfFormat) const;

private:
    std::vector<TClipboardFormatListEntry> entries_;
};

// Registers the tree unit's own formats in list: a format name is handed to registerName, which answers its
// platform id. The reference format is registered by name only; its id is returned.
std::uint16_t
RegisterDefaultTreeFormats(TClipboardFormatList& list,
                           const std::function<std::uint16_t(const std::string&)>& registerName);

// A tree's allowed format names: sorted, without duplicates, and only names the registry offers to the
// tree's class.
class TClipboardFormats {
public:
    explicit TClipboardFormats(const TTreeClass& owner,
                               const TClipboardFormatList& registry = TClipboardFormatList::Global())
        : owner_(&owner), registry_(&registry) {}

    // The name's index, or -1 when the name is refused (unknown or for another class of tree).
    int Add(const std::string& name);
    // As Add, in a sorted list the position is the name's own; a refused name changes nothing.
    void Insert(int index, const std::string& name);
    int IndexOf(const std::string& name) const;
    void Clear() { names_.clear(); }
    int Count() const { return static_cast<int>(names_.size()); }
    const std::vector<std::string>& Names() const { return names_; }
    // Replaces the list; refused names are dropped.
    void Assign(const std::vector<std::string>& names);
    void SetOwner(const TTreeClass& owner) { owner_ = &owner; }

private:
    bool Accepts(const std::string& name) const;

    const TTreeClass* owner_;
    const TClipboardFormatList* registry_;
    std::vector<std::string> names_;
};

} // namespace tarvola
