#include "explorer/ThumbsThread.h"

namespace tarvola {

namespace {

void ReleaseThumbResult(void* record) {
    delete static_cast<TThumbnailResult*>(record);
}

} // namespace

const TThumbnailResult* ThumbResultOf(const TImageThreadItem& item) {
    if (item.ReleaseResult != &ReleaseThumbResult)
        return nullptr;
    return static_cast<const TThumbnailResult*>(item.ResultRecord);
}

TThumbThread::TThumbThread(TImageRequestQueue& queue, TPost post, TOnError onError,
                           const TThumbnailSettings& settings)
    : TVirtualImageThread(queue, std::move(post), std::move(onError)), requests_(queue), settings_(settings) {
}

void TThumbThread::CopyOptions(const TThumbnailSettings& settings) {
    requests_.Locked([&] { settings_ = settings; });
}

TThumbnailSettings TThumbThread::Options() const {
    return requests_.Locked([&] { return settings_; });
}

int TThumbThread::ResetThumbnails(TImageRequestControl control, const TThumbnailSettings& settings,
                                  const std::function<void()>& resetStates) {
    return requests_.ClearPendingItemsAnd(control, WM_THUMBTHREADRESULT, [&] {
        settings_ = settings;
        if (resetStates)
            resetStates();
    });
}

TThumbnailResult TThumbThread::CreateThumbnail(const WideString& fileName,
                                               std::span<const std::uint8_t> bytes,
                                               const TThumbnailSettings& settings) {
    return MakeThumbnailResult(fileName, bytes, settings);
}

// Nothing leaves: a file that cannot be named, read or decoded gives "no thumbnail" for this request only.
std::int32_t TThumbThread::ExtractInfo(PCItemIDList pidl) {
    working_ = TThumbnailResult{};
    try {
        const TThumbnailSettings settings = Options();
        const WideString fileName = FileNameOf(pidl);
        if (fileName.empty() || GraphicClassOfFile(fileName) == TGraphicClass::None)
            return 0;
        const std::optional<std::vector<std::uint8_t>> bytes = ReadFile(fileName);
        if (!bytes)
            return 0;
        working_ = CreateThumbnail(fileName, *bytes, settings);
    } catch (...) {
        working_ = TThumbnailResult{};
    }
    return 0;
}

void TThumbThread::StoreInfo(TImageThreadItem& item) {
    item.ResultRecord = new TThumbnailResult(std::move(working_));
    item.ReleaseResult = &ReleaseThumbResult;
    working_ = TThumbnailResult{};
}

void TThumbThread::DiscardInfo(std::uint64_t) {
    working_ = TThumbnailResult{};
}

} // namespace tarvola
