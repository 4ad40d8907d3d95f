// The thumbnail thread: the icon thread's loop (newest request first, a withdrawn request's result dropped),
// making each request a thumbnail of the file it names with the options it copied under the request lock,
// and attaching the result to the request it posts (WM_THUMBTHREADRESULT). Naming and reading the file are
// the platform's (the shell on Windows, a fake in tests).
#pragma once

#include "explorer/ThumbsMaker.h"
#include "shell/VirtualImageThread.h"
#include "shell/VirtualWideStrings.h"

#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace tarvola {

// Posted to the requesting list with the request in wParam; the list releases it once it has read it.
constexpr std::uint32_t WM_THUMBTHREADRESULT = 0x8097;

// The thumbnail a finished request carries; nullptr for a request that carries none.
const TThumbnailResult* ThumbResultOf(const TImageThreadItem& item);

class TThumbThread : public TVirtualImageThread {
public:
    TThumbThread(TImageRequestQueue& queue, TPost post, TOnError onError, const TThumbnailSettings& settings);
    // A descendant calls Stop in its own destructor too, before its part is gone.
    ~TThumbThread() override { Stop(); }

    // The options of the requests taken from now on; a request in hand keeps the ones it started with.
    void CopyOptions(const TThumbnailSettings& settings);
    TThumbnailSettings Options() const;
    // Under one hold of the request lock: withdraws the control's pending requests, copies the options and
    // runs resetStates (the list's node states), so that no request of the old options is handed out or
    // stored meanwhile. resetStates must not call the queue or wait for the thread. Answers the number of
    // requests withdrawn.
    int ResetThumbnails(TImageRequestControl control, const TThumbnailSettings& settings,
                        const std::function<void()>& resetStates);

protected:
    // The file system path of the item; empty when it is none.
    virtual WideString FileNameOf(PCItemIDList pidl) = 0;
    // The file's bytes; nothing when it cannot be read.
    virtual std::optional<std::vector<std::uint8_t>> ReadFile(const WideString& fileName) = 0;
    // The thumbnail of the file's bytes.
    virtual TThumbnailResult CreateThumbnail(const WideString& fileName, std::span<const std::uint8_t> bytes,
                                             const TThumbnailSettings& settings);

private:
    std::int32_t ExtractInfo(PCItemIDList pidl) final;
    void StoreInfo(TImageThreadItem& item) final;
    void DiscardInfo(std::uint64_t requestId) final;

    TImageRequestQueue& requests_;
    TThumbnailSettings settings_; // under the request lock
    TThumbnailResult working_;    // the thread's own, between ExtractInfo and StoreInfo or DiscardInfo
};

} // namespace tarvola
