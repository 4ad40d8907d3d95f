#include "explorer/ThumbsCacheList.h"

#include "audio/Streams.h"
#include "shell/VirtualUtilities.h"

#include <string>
#include <unordered_set>

namespace tarvola {

namespace {

constexpr char16_t kCacheExtension[] = u".cache";

// The name a folder's cache file is based on: a drive root's letter, else the folder's last component cut
// before the character ahead of its first "=" ("ab=c" gives "a", "=x" nothing), without characters a file
// name cannot hold; never empty.
WideString CacheBaseName(const WideString& folder) {
    WideString base;
    if (WideIsDrive(folder)) {
        base = folder.substr(0, 1);
    } else {
        const WideString path = WideStripTrailingBackslash(folder, true);
        const std::size_t slash = path.find_last_of(u'\\');
        base = slash == WideString::npos ? path : path.substr(slash + 1);
        const std::size_t equals = base.find(u'=');
        if (equals != WideString::npos)
            base.resize(equals >= 1 ? equals - 1 : 0);
    }
    // A character no file name may hold (a damaged index's root "\:\" gives one) would break the line.
    constexpr std::u16string_view kNotInNames = u"\\/:*?\"<>|";
    std::erase_if(base,
                  [&](char16_t c) { return c < u' ' || kNotInNames.find(c) != std::u16string_view::npos; });
    return base.empty() ? WideString(u"0") : base;
}

WideString NumberText(int n) {
    const std::string digits = std::to_string(n);
    return WideString(digits.begin(), digits.end());
}

} // namespace

TCacheList::TCacheList(IThumbsCacheFiles& files, const TWideTextServices& text)
    : TWideStringList(text), files_(files) {}

void TCacheList::SetCentralFolder(const WideString& folder) {
    centralFolder_ = folder.empty() ? WideString() : WideIncludeTrailingBackslash(folder);
}

WideString TCacheList::FolderPart(const WideString& line) {
    const std::size_t slash = line.find_last_of(u'\\');
    return slash == WideString::npos ? WideString() : line.substr(0, slash + 1);
}

WideString TCacheList::FilePart(const WideString& line) {
    const std::size_t slash = line.find_last_of(u'\\');
    const std::size_t equals = line.find(u'=', slash == WideString::npos ? 0 : slash + 1);
    return equals == WideString::npos ? WideString() : line.substr(equals + 1);
}

// A line without a file part names no cache; the next prune removes it.
int TCacheList::LineOf(const WideString& folder) const {
    const WideString wanted = WideIncludeTrailingBackslash(folder);
    for (int i = 0; i < Count(); ++i) {
        const WideString line = Get(i);
        if (!FilePart(line).empty() && TextServices().CompareText(FolderPart(line), wanted) == 0)
            return i;
    }
    return -1;
}

WideString TCacheList::FindCacheFileName(const WideString& folder) const {
    if (centralFolder_.empty())
        return {};
    const int line = LineOf(folder);
    return line < 0 ? WideString() : centralFolder_ + FilePart(Get(line));
}

WideString TCacheList::MakeCacheFileName(const WideString& folder) {
    if (centralFolder_.empty())
        return {};
    const WideString found = FindCacheFileName(folder);
    if (!found.empty())
        return found;
    const WideString withSlash = WideIncludeTrailingBackslash(folder);
    const WideString base = CacheBaseName(withSlash);
    // The names in use, gathered once: a long index need not be searched again for every number tried.
    const TWideTextServices& text = TextServices();
    std::unordered_set<WideString> used;
    for (int i = 0; i < Count(); ++i)
        used.insert(text.LowerCase(FilePart(Get(i))));
    WideString name = base + kCacheExtension;
    for (int n = 0; used.contains(text.LowerCase(name)); ++n)
        name = base + u"." + NumberText(n) + kCacheExtension;
    Add(withSlash + u"=" + name);
    Sort();
    return centralFolder_ + name;
}

void TCacheList::PruneInvalid() {
    if (centralFolder_.empty())
        return;
    for (int i = Count() - 1; i >= 0; --i) {
        const WideString line = Get(i);
        const WideString file = FilePart(line);
        if (file.empty() || !files_.FileExists(centralFolder_ + file)) {
            Delete(i);
        } else if (!files_.DirectoryExists(FolderPart(line))) {
            files_.RemoveFile(centralFolder_ + file);
            Delete(i);
        }
    }
}

void TCacheList::DeleteAll() {
    if (!centralFolder_.empty()) {
        for (int i = 0; i < Count(); ++i) {
            const WideString file = FilePart(Get(i));
            if (!file.empty())
                files_.RemoveFile(centralFolder_ + file);
        }
        files_.RemoveFile(IndexPath());
    }
    Clear();
}

void TCacheList::Load() {
    const std::optional<std::vector<std::uint8_t>> bytes =
        centralFolder_.empty() ? std::nullopt : files_.ReadWhole(IndexPath());
    if (!bytes) {
        Clear();
        return;
    }
    TMemoryStream stream;
    stream.WriteBuffer(bytes->data(), static_cast<std::int64_t>(bytes->size()));
    stream.SetPosition(0);
    LoadFromStream(stream);
}

bool TCacheList::Save() {
    if (centralFolder_.empty())
        return false;
    PruneInvalid();
    TMemoryStream stream;
    SaveToStream(stream);
    return files_.WriteWhole(
        IndexPath(), std::span<const std::uint8_t>(stream.Memory(), static_cast<std::size_t>(stream.Size())));
}

} // namespace tarvola
