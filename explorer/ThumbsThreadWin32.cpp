#include "explorer/ThumbsThreadWin32.h"

#include "explorer/ThumbsGraphicsWin32.h"
#include "forms/Application.h"
#include "shell/VirtualImageThreadWin32.h"
#include "shell/VirtualPIDLToolsShell.h"
#include "shell/VirtualShellCom.h"
#include "shell/VirtualUnicodeDefines.h"
#include "shell/VirtualWideFileStream.h"

#include <shlobj.h>

namespace tarvola {

TShellThumbThread::TShellThumbThread(TImageRequestQueue& queue, TOnError onError,
                                     const TThumbnailSettings& settings)
    : TThumbThread(queue, PostImageResult, std::move(onError), settings) {}

WideString TShellThumbThread::FileNameOf(PCItemIDList pidl) {
    EnsureThreadApartment();
    TComPtr<IShellFolder> parent;
    LPCITEMIDLIST last = nullptr;
    if (FAILED(SHBindToParent(AsItemIDList(pidl), IID_IShellFolder, parent.PutVoid(), &last)))
        return {};
    STRRET name{};
    if (FAILED(parent->GetDisplayNameOf(last, SHGDN_FORPARSING | SHGDN_FORADDRESSBAR, &name)))
        return {};
    return StrRetToWideStr(name, last);
}

// Others may go on reading and writing the picture meanwhile.
std::optional<std::vector<std::uint8_t>> TShellThumbThread::ReadFile(const WideString& fileName) {
    try {
        TWideFileStream stream(fileName, fmOpenRead | fmShareDenyNone);
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(stream.Size()));
        stream.ReadBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
        return bytes;
    } catch (const StreamError&) {
        return std::nullopt;
    }
}

TThumbnailResult TShellThumbThread::CreateThumbnail(const WideString& fileName,
                                                    std::span<const std::uint8_t> bytes,
                                                    const TThumbnailSettings& settings) {
    const TGraphicClass graphic = GraphicClassOfFile(fileName);
    if (graphic != TGraphicClass::Metafile && graphic != TGraphicClass::Icon)
        return TThumbThread::CreateThumbnail(fileName, bytes, settings);
    const std::optional<TThumbnailPicture> picture =
        RenderPlatformGraphic(graphic, bytes, settings.BackColor);
    if (!picture)
        return {};
    return MakeThumbnailFromPicture(*picture, settings);
}

TThumbnailRequests::TThumbnailRequests(const TPIDLManager& manager, const TThumbnailSettings& settings)
    : queue_(manager), settings_(settings) {}

TThumbnailRequests::~TThumbnailRequests() {
    thread_.reset();
}

void TThumbnailRequests::EnsureThread() {
    if (thread_)
        return;
    thread_ = std::make_unique<TShellThumbThread>(
        queue_, [](std::exception_ptr error) { Application().HandleException(error); }, settings_);
    thread_->Start();
}

TImageRequest TThumbnailRequests::RequestOf(HWND list, PCItemIDList pidl, void* node,
                                            std::int32_t itemIndex) const {
    TImageRequest request;
    request.Control = reinterpret_cast<TImageRequestControl>(list);
    request.MessageId = WM_THUMBTHREADRESULT;
    request.PIDL = pidl;
    request.Data = node;
    request.Extra = itemIndex;
    return request;
}

void TThumbnailRequests::AddNewItem(HWND list, PCItemIDList pidl, void* node, std::int32_t itemIndex) {
    EnsureThread();
    queue_.AddNewItem(RequestOf(list, pidl, node, itemIndex));
}

void TThumbnailRequests::InsertNewItem(HWND list, PCItemIDList pidl, void* node, std::int32_t itemIndex) {
    EnsureThread();
    queue_.InsertNewItem(RequestOf(list, pidl, node, itemIndex));
}

void TThumbnailRequests::ClearPendingItem(HWND list, void* node) {
    queue_.ClearPendingItem(reinterpret_cast<TImageRequestControl>(list), node, WM_THUMBTHREADRESULT);
}

void TThumbnailRequests::ClearPendingItems(HWND list) {
    queue_.ClearPendingItems(reinterpret_cast<TImageRequestControl>(list), WM_THUMBTHREADRESULT);
    ReleasePosted(list);
}

void TThumbnailRequests::CopyOptions(const TThumbnailSettings& settings) {
    settings_ = settings;
    if (thread_)
        thread_->CopyOptions(settings);
}

void TThumbnailRequests::ResetThumbnails(HWND list, const TThumbnailSettings& settings,
                                         const std::function<void()>& resetStates) {
    settings_ = settings;
    if (thread_)
        thread_->ResetThumbnails(reinterpret_cast<TImageRequestControl>(list), settings, resetStates);
    else if (resetStates)
        resetStates();
    ReleasePosted(list);
}

void TThumbnailRequests::ReleasePosted(HWND list) {
    MSG message;
    while (PeekMessageW(&message, list, WM_THUMBTHREADRESULT, WM_THUMBTHREADRESULT, PM_REMOVE))
        ReleaseItem(reinterpret_cast<TImageThreadItem*>(message.wParam));
}

void TThumbnailRequests::ReleaseItem(TImageThreadItem* item) {
    ReleaseImageThreadItem(item, queue_.Manager());
}

} // namespace tarvola
