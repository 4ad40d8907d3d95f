#include "explorer/ThumbsListStoreWin32.h"

#include "shell/VirtualPIDLToolsShell.h"
#include "shell/VirtualShellUtilities.h"
#include "shell/VirtualUnicodeDefines.h"

#include <shlobj.h>

#include <cstring>

namespace tarvola {

namespace {

WideString FileSystemPath(const TItemIDList& pidl) {
    wchar_t path[MAX_PATH + 1] = {};
    if (!SHGetPathFromIDListW(AsItemIDList(pidl.Data()), path))
        return {};
    return WideString(reinterpret_cast<const char16_t*>(path));
}

// The file's last-write date-time as the cache stores it; 0 when it cannot be read.
double FileDate(const WideString& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(reinterpret_cast<LPCWSTR>(path.c_str()), GetFileExInfoStandard, &data))
        return 0;
    return FileTimeToDateTime(data.ftLastWriteTime);
}

std::string KeyOf(const TItemIDList& pidl) {
    return std::string(reinterpret_cast<const char*>(pidl.Data()), pidl.Size());
}

HBITMAP BitmapOf(const TPixelImage& image) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), image.Width, -image.Height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap != nullptr)
        std::copy(image.Pixels.begin(), image.Pixels.end(), static_cast<std::uint32_t*>(bits));
    return bitmap;
}

} // namespace

TListThumbnails::TListThumbnails(const TPIDLManager& manager, TThumbsCache& cache,
                                 const TThumbnailSettings& settings, TRepaint repaint)
    : cache_(cache), repaint_(std::move(repaint)), requests_(manager, settings),
      window_([this](UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
          if (message != WM_THUMBTHREADRESULT)
              return std::nullopt;
          Received(reinterpret_cast<TImageThreadItem*>(wParam));
          return 0;
      }) {}

TListThumbnails::~TListThumbnails() {
    requests_.ClearPendingItems(window_.Handle());
    FreeBitmaps();
}

void TListThumbnails::RequestThumbnail(const TItemIDList& pidl, int itemIndex) {
    const auto [found, added] = entries_.try_emplace(KeyOf(pidl));
    TEntry& entry = found->second;
    entry.ItemIndex = itemIndex;
    if (!added)
        return;
    entry.Path = FileSystemPath(pidl);
    entry.State = tsNoThumbnail;
    if (entry.Path.empty() || GraphicClassOfFile(entry.Path) == TGraphicClass::None)
        return;
    if (TakeFromCache(entry))
        return;
    if (!entry.Replacing)
        entry.State = tsRequested;
    Queue(pidl, entry);
}

bool TListThumbnails::RemakeThumbnail(const TItemIDList& pidl) {
    const auto found = entries_.find(KeyOf(pidl));
    // A thumbnail being made again already has its request out.
    if (found == entries_.end() || found->second.State != tsDone || found->second.Replacing)
        return false;
    TEntry& entry = found->second;
    if (entry.Bitmap != nullptr) {
        DeleteObject(entry.Bitmap);
        entry.Bitmap = nullptr;
    }
    // Shown as requested (its icon) until it comes; the damaged entry is replaced in place then.
    entry.State = tsRequested;
    Queue(pidl, entry);
    return true;
}

void TListThumbnails::Queue(const TItemIDList& pidl, TEntry& entry) {
    if (ServeInOrder)
        requests_.InsertNewItem(window_.Handle(), pidl.Data(), &entry, entry.ItemIndex);
    else
        requests_.AddNewItem(window_.Handle(), pidl.Data(), &entry, entry.ItemIndex);
}

bool TListThumbnails::TakeFromCache(TEntry& entry) {
    entry.CacheIndex = cache_.IndexOf(entry.Path);
    const TThumbsCacheItem* cached = nullptr;
    if (!cache_.Read(entry.CacheIndex, cached))
        return false;
    entry.State = tsDone;
    // The date is compared bit for bit: the writer and this reader take it from the same routine.
    const double date = FileDate(entry.Path);
    entry.Replacing = std::memcmp(&date, &cached->FileDate, sizeof date) != 0;
    return !entry.Replacing;
}

void TListThumbnails::Received(TImageThreadItem* item) {
    TEntry& entry = *static_cast<TEntry*>(item->Data);
    const TThumbnailResult* result = ThumbResultOf(*item);
    if (result != nullptr && result->State == tsDone) {
        // An entry already there for the path is replaced in place, keeping its index.
        entry.CacheIndex = cache_.AddStream(entry.Path, FileDate(entry.Path), result->Stream,
                                            result->Compressed, result->Width, result->Height);
        entry.State = tsDone;
        if (entry.Bitmap != nullptr) {
            DeleteObject(entry.Bitmap);
            entry.Bitmap = nullptr;
        }
    } else if (!entry.Replacing) {
        entry.State = tsNoThumbnail;
    }
    entry.Replacing = false;
    const int itemIndex = entry.ItemIndex;
    requests_.ReleaseItem(item);
    if (repaint_)
        repaint_(itemIndex);
}

std::optional<std::uintptr_t> TListThumbnails::Thumbnail(const TItemIDList& pidl) {
    const auto found = entries_.find(KeyOf(pidl));
    if (found == entries_.end() || found->second.State != tsDone)
        return std::nullopt;
    TEntry& entry = found->second;
    if (entry.Bitmap == nullptr) {
        TPixelImage picture;
        if (!cache_.ReadBitmap(entry.CacheIndex, picture)) {
            RemakeThumbnail(pidl);
            return std::nullopt;
        }
        entry.Bitmap = BitmapOf(picture);
        if (entry.Bitmap == nullptr)
            return std::nullopt;
    }
    return reinterpret_cast<std::uintptr_t>(entry.Bitmap);
}

std::uint8_t TListThumbnails::State(const TItemIDList& pidl) const {
    const auto found = entries_.find(KeyOf(pidl));
    return found == entries_.end() ? std::uint8_t{tsNone} : found->second.State;
}

int TListThumbnails::CacheIndex(const TItemIDList& pidl) const {
    const auto found = entries_.find(KeyOf(pidl));
    return found == entries_.end() ? -1 : found->second.CacheIndex;
}

std::vector<WideString> TListThumbnails::PathsInUse() const {
    std::vector<WideString> paths;
    for (const auto& [key, entry] : entries_)
        if (IsThumbnailDone(entry.State))
            paths.push_back(entry.Path);
    return paths;
}

void TListThumbnails::ResetThumbnails(const TThumbnailSettings& settings) {
    requests_.ResetThumbnails(window_.Handle(), settings, {});
    FreeBitmaps();
    entries_.clear();
    cache_.Clear();
    cache_.ThumbWidth = settings.Width;
    cache_.ThumbHeight = settings.Height;
}

void TListThumbnails::ForgetItems() {
    requests_.ClearPendingItems(window_.Handle());
    FreeBitmaps();
    entries_.clear();
}

void TListThumbnails::FreeBitmaps() {
    for (auto& [key, entry] : entries_)
        if (entry.Bitmap != nullptr) {
            DeleteObject(entry.Bitmap);
            entry.Bitmap = nullptr;
        }
}

} // namespace tarvola
