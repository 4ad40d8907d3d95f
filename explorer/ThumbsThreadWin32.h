// The thumbnail thread on Windows and the list view's requests to it. The thread names each item by its
// parse name through the shell, reads the file (metafiles and icons drawn by the platform) and posts the
// request with its thumbnail to the list's window. A list owns one TThumbnailRequests: its queue, and its
// thread made on first use. Win32 only.
#pragma once

#include "explorer/ThumbsThread.h"

#include <windows.h>

#include <memory>

namespace tarvola {

class TShellThumbThread final : public TThumbThread {
public:
    TShellThumbThread(TImageRequestQueue& queue, TOnError onError, const TThumbnailSettings& settings);
    ~TShellThumbThread() override { Stop(); }

protected:
    WideString FileNameOf(PCItemIDList pidl) override;
    std::optional<std::vector<std::uint8_t>> ReadFile(const WideString& fileName) override;
    // Metafiles and icons are drawn by the platform; other pictures as everywhere.
    TThumbnailResult CreateThumbnail(const WideString& fileName, std::span<const std::uint8_t> bytes,
                                     const TThumbnailSettings& settings) override;
};

class TThumbnailRequests {
public:
    TThumbnailRequests(const TPIDLManager& manager, const TThumbnailSettings& settings);
    // Stops the thread; what it posted and nobody read stays in the list's message queue, so the list calls
    // ClearPendingItems first.
    ~TThumbnailRequests();
    TThumbnailRequests(const TThumbnailRequests&) = delete;
    TThumbnailRequests& operator=(const TThumbnailRequests&) = delete;

    // A request of the list for the item (an absolute list, copied) on behalf of its node. AddNewItem serves
    // it next, InsertNewItem after all others. The first request starts the thread.
    void AddNewItem(HWND list, PCItemIDList pidl, void* node, std::int32_t itemIndex);
    void InsertNewItem(HWND list, PCItemIDList pidl, void* node, std::int32_t itemIndex);
    // The node goes: its request is withdrawn.
    void ClearPendingItem(HWND list, void* node);
    // Withdraws the list's requests and releases the results already posted to it. On the list's thread.
    void ClearPendingItems(HWND list);
    void CopyOptions(const TThumbnailSettings& settings);
    // Withdraws the list's requests, copies the options and runs resetStates under the request lock (see
    // TThumbThread::ResetThumbnails), then releases the results of the old options already posted.
    void ResetThumbnails(HWND list, const TThumbnailSettings& settings,
                         const std::function<void()>& resetStates);
    // The list releases each result it received once it has read it.
    void ReleaseItem(TImageThreadItem* item);

    bool ThreadRunning() const { return thread_ != nullptr; }
    TImageRequestQueue& Queue() { return queue_; }

private:
    TImageRequest RequestOf(HWND list, PCItemIDList pidl, void* node, std::int32_t itemIndex) const;
    void EnsureThread();
    void ReleasePosted(HWND list);

    TImageRequestQueue queue_;
    TThumbnailSettings settings_;
    std::unique_ptr<TShellThumbThread> thread_;
};

} // namespace tarvola
