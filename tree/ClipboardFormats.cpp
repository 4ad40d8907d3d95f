// The clipboard format registry and a tree's list of allowed format names.
#include "tree/ClipboardFormats.h"

#include <algorithm>
#include <array>

namespace tarvola {

namespace {

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

bool LessIgnoringCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return LowerAscii(x) < LowerAscii(y); });
}

constexpr std::array<const char*, 16> StandardDescriptions = {
    "Plain text",
    "Windows bitmap",
    "Windows metafile",
    "Symbolic link",
    "Data interchange format",
    "Tiff image",
    "OEM text",
    "DIB image",
    "Palette data",
    "Pen data",
    "Riff audio data",
    "Wav audio data",
    "Unicode text",
    "Enhanced metafile image",
    "File name(s)",
    "Locale descriptor",
};

} // namespace

bool TTreeClass::InheritsFrom(const TTreeClass& ancestor) const {
    for (const TTreeClass* c = this; c != nullptr; c = c->Parent)
        if (c == &ancestor)
            return true;
    return false;
}

const TTreeClass& BaseVirtualTreeClass() {
    static const TTreeClass base{"TBaseVirtualTree", nullptr};
    return base;
}

const TTreeClass& CustomVirtualStringTreeClass() {
    static const TTreeClass stringTree{"TCustomVirtualStringTree", &BaseVirtualTreeClass()};
    return stringTree;
}

std::string StandardFormatDescription(std::uint16_t id) {
    if (id < 1 || id > StandardDescriptions.size())
        return {};
    return StandardDescriptions[id - 1];
}

TClipboardFormatList& TClipboardFormatList::Global() {
    static TClipboardFormatList list;
    return list;
}

void TClipboardFormatList::Add(const std::string& description, const TTreeClass& treeClass,
                               std::uint32_t priority, const TFormatEtc& formatEtc) {
    entries_.push_back({description, &treeClass, priority, formatEtc});
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const auto& a, const auto& b) { return a.Priority < b.Priority; });
}

void TClipboardFormatList::CollectFormats(const TTreeClass& treeClass, TFormatEtcArray& formats,
                                          const TClipboardFormats* allowed) const {
    formats.clear();
    for (const TClipboardFormatListEntry& entry : entries_) {
        if (!treeClass.InheritsFrom(*entry.TreeClass))
            continue;
        if (allowed != nullptr && allowed->IndexOf(entry.Description) < 0)
            continue;
        formats.push_back(entry.FormatEtc);
    }
}

const TTreeClass* TClipboardFormatList::FindFormatByName(const std::string& description,
                                                         std::uint16_t& cfFormat) const {
    for (auto entry = entries_.rbegin(); entry != entries_.rend(); ++entry) {
        if (EqualIgnoringCase(entry->Description, description)) {
            cfFormat = entry->FormatEtc.cfFormat;
            return entry->TreeClass;
        }
    }
    cfFormat = 0;
    return nullptr;
}

std::uint16_t
RegisterDefaultTreeFormats(TClipboardFormatList& list,
                           const std::function<std::uint16_t(const std::string&)>& registerName) {
    const auto byName = [&](const char* name, const TTreeClass& treeClass, std::uint32_t priority) {
        TFormatEtc format;
        format.cfFormat = registerName(name);
        list.Add(name, treeClass, priority, format);
    };
    const auto byId = [&](std::uint16_t id, const TTreeClass& treeClass, std::uint32_t priority) {
        TFormatEtc format;
        format.cfFormat = id;
        list.Add(StandardFormatDescription(id), treeClass, priority, format);
    };
    byName(VirtualTreeDataFormatName, BaseVirtualTreeClass(), 50);
    byName("HTML Format", CustomVirtualStringTreeClass(), 80);
    byName("Rich Text Format Without Objects", CustomVirtualStringTreeClass(), 84);
    byName("Rich Text Format", CustomVirtualStringTreeClass(), 85);
    byName("CSV", CustomVirtualStringTreeClass(), 90);
    byId(StandardFormatUnicodeText, CustomVirtualStringTreeClass(), 95);
    byId(StandardFormatText, CustomVirtualStringTreeClass(), 100);
    return registerName(VirtualTreeReferenceFormatName);
}

bool TClipboardFormats::Accepts(const std::string& name) const {
    std::uint16_t format = 0;
    const TTreeClass* treeClass = registry_->FindFormatByName(name, format);
    return treeClass != nullptr && owner_->InheritsFrom(*treeClass);
}

int TClipboardFormats::IndexOf(const std::string& name) const {
    const auto found = std::lower_bound(names_.begin(), names_.end(), name, LessIgnoringCase);
    if (found == names_.end() || !EqualIgnoringCase(*found, name))
        return -1;
    return static_cast<int>(found - names_.begin());
}

int TClipboardFormats::Add(const std::string& name) {
    if (!Accepts(name))
        return -1;
    const auto found = std::lower_bound(names_.begin(), names_.end(), name, LessIgnoringCase);
    const auto index = found - names_.begin();
    if (found == names_.end() || !EqualIgnoringCase(*found, name))
        names_.insert(found, name);
    return static_cast<int>(index);
}

void TClipboardFormats::Insert(int, const std::string& name) {
    Add(name);
}

void TClipboardFormats::Assign(const std::vector<std::string>& names) {
    names_.clear();
    for (const std::string& name : names)
        Add(name);
}

} // namespace tarvola
