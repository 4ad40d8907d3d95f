#include "explorer/ThumbsListStoreWin32.h"

#include "shell/VirtualPIDLToolsShell.h"
#include "shell/VirtualUnicodeDefines.h"

#include <shlobj.h>

namespace tarvola {

namespace {

WideString FileSystemPath(const TItemIDList& pidl) {
    wchar_t path[MAX_PATH + 1] = {};
    if (!SHGetPathFromIDListW(AsItemIDList(pidl.Data()), path))
        return {};
    return WideString(reinterpret_cast<const char16_t*>(path));
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
    entry.CacheIndex = cache_.IndexOf(entry.Path);
    if (entry.CacheIndex >= 0) {
        entry.State = tsDone;
        return;
    }
    entry.State = tsRequested;
    requests_.AddNewItem(window_.Handle(), pidl.Data(), &entry, itemIndex);
}

void TListThumbnails::Received(TImageThreadItem* item) {
    TEntry& entry = *static_cast<TEntry*>(item->Data);
    const TThumbnailResult* result = ThumbResultOf(*item);
    if (result != nullptr && result->State == tsDone) {
        entry.CacheIndex = cache_.AddStream(entry.Path, 0, result->Stream, result->Compressed, result->Width,
                                            result->Height);
        entry.State = tsDone;
    } else {
        entry.State = tsNoThumbnail;
    }
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
        if (!cache_.ReadBitmap(entry.CacheIndex, picture))
            return std::nullopt;
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
