#include "shell/VirtualImageThreadWin32.h"

#include "forms/Application.h"
#include "shell/VirtualPIDLToolsShell.h"

#include <shlobj.h>

#include <algorithm>

namespace tarvola {

namespace {

// The shell's objects want COM on the thread that asks them; the icon thread keeps its apartment until
// it ends.
class TThreadApartment {
public:
    TThreadApartment() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~TThreadApartment() {
        if (initialised_)
            CoUninitialize();
    }

private:
    bool initialised_;
};

std::int32_t IconOfShellIcon(LPCITEMIDLIST pidl) {
    TComPtr<IShellFolder> parent;
    LPCITEMIDLIST last = nullptr;
    if (FAILED(SHBindToParent(pidl, IID_IShellFolder, parent.PutVoid(), &last)))
        return -1;
    const TComPtr<IShellIcon> icons = parent.As<IShellIcon>(IID_IShellIcon);
    int index = -1;
    if (!icons || icons->GetIconOf(last, 0, &index) != S_OK)
        return -1;
    return index;
}

} // namespace

void EnsureThreadApartment() {
    thread_local TThreadApartment apartment;
}

bool PostImageResult(TImageThreadItem* item) {
    const HWND window = reinterpret_cast<HWND>(item->Control);
    return IsWindow(window) &&
           PostMessageW(window, item->MessageId, reinterpret_cast<WPARAM>(item), 0) != FALSE;
}

TShellImageThread::TShellImageThread(TImageRequestQueue& queue, TOnError onError)
    : TVirtualImageThread(queue, PostImageResult, std::move(onError)) {}

std::int32_t TShellImageThread::ExtractInfo(PCItemIDList pidl) {
    EnsureThreadApartment();
    const LPCITEMIDLIST item = AsItemIDList(pidl);
    std::int32_t index = IconOfShellIcon(item);
    if (index >= 0)
        return index;
    SHFILEINFOW info{};
    if (SHGetFileInfoW(reinterpret_cast<LPCWSTR>(item), 0, &info, sizeof(info),
                       SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SHELLICONSIZE | SHGFI_SMALLICON) == 0)
        return -1;
    return info.iIcon;
}

TVirtualImageThreadManager::TVirtualImageThreadManager(const TPIDLManager& manager) : queue_(manager) {}

TVirtualImageThreadManager::~TVirtualImageThreadManager() {
    thread_.reset();
}

void TVirtualImageThreadManager::RegisterControl(HWND control) {
    if (std::find(controls_.begin(), controls_.end(), control) != controls_.end())
        return;
    controls_.push_back(control);
    if (!thread_)
        thread_ = std::make_unique<TShellImageThread>(
            queue_, [](std::exception_ptr error) { Application().HandleException(error); });
    if (!running_) {
        thread_->Start();
        running_ = true;
    }
}

void TVirtualImageThreadManager::UnRegisterControl(HWND control) {
    const auto found = std::find(controls_.begin(), controls_.end(), control);
    if (found == controls_.end())
        return;
    ClearPendingItems(control);
    controls_.erase(found);
    if (controls_.empty() && running_) {
        thread_->Stop();
        running_ = false;
        // A result posted while the thread stopped is still in the queue of the window.
        ClearPendingItems(control);
    }
}

namespace {

TImageRequest RequestOf(HWND control, PCItemIDList pidl, void* data, std::uint32_t messageId) {
    TImageRequest request;
    request.Control = reinterpret_cast<TImageRequestControl>(control);
    request.MessageId = messageId;
    request.PIDL = pidl;
    request.Data = data;
    return request;
}

} // namespace

bool TVirtualImageThreadManager::AddNewItem(HWND control, PCItemIDList pidl, void* data,
                                            std::uint32_t messageId) {
    if (std::find(controls_.begin(), controls_.end(), control) == controls_.end())
        return false;
    queue_.AddNewItem(RequestOf(control, pidl, data, messageId));
    return true;
}

bool TVirtualImageThreadManager::InsertNewItem(HWND control, PCItemIDList pidl, void* data,
                                               std::uint32_t messageId) {
    if (std::find(controls_.begin(), controls_.end(), control) == controls_.end())
        return false;
    queue_.InsertNewItem(RequestOf(control, pidl, data, messageId));
    return true;
}

void TVirtualImageThreadManager::ClearPendingItems(HWND control, std::uint32_t messageId) {
    queue_.ClearPendingItems(reinterpret_cast<TImageRequestControl>(control), messageId);
    MSG message;
    while (PeekMessageW(&message, control, messageId, messageId, PM_REMOVE))
        ReleaseItem(reinterpret_cast<TImageThreadItem*>(message.wParam));
}

void TVirtualImageThreadManager::ReleaseItem(TImageThreadItem* item) {
    ReleaseImageThreadItem(item, queue_.Manager());
}

} // namespace tarvola
