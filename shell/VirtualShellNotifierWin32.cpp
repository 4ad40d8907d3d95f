#include "shell/VirtualShellNotifierWin32.h"

#include "forms/Application.h"
#include "shell/VirtualPIDLToolsShell.h"
#include "shell/VirtualShellUtilities.h"
#include "shell/VirtualUnicodeDefines.h"

#include <shlobj.h>

#include <algorithm>

namespace tarvola {

namespace {

constexpr wchar_t kNotifyWindowClass[] = L"vstVirtualNotifyWndClass";
// How long a stop waits for the shell thread before it leaves it behind.
constexpr DWORD kShellThreadStopWait = 5000;

} // namespace

void ReleasePendingShellNotifies(HWND window) {
    MSG message;
    while (PeekMessageW(&message, window, WM_SHELLNOTIFY, WM_SHELLNOTIFY, PM_REMOVE))
        if (message.wParam != 0)
            reinterpret_cast<TVirtualShellEventList*>(message.wParam)->Release();
}

TVirtualChangeNotifier::TVirtualChangeNotifier(const TPIDLManager& manager) : manager_(manager) {}

TVirtualChangeNotifier::~TVirtualChangeNotifier() {
    if (running_)
        Stop();
}

int TVirtualChangeNotifier::ControlCount() const {
    std::lock_guard guard(controlsLock_);
    return static_cast<int>(controls_.size());
}

bool TVirtualChangeNotifier::RegisterShellChangeNotify(HWND control) {
    {
        std::lock_guard guard(controlsLock_);
        if (std::find(controls_.begin(), controls_.end(), control) != controls_.end())
            return true;
    }
    if (!running_ && !Start())
        return false;
    std::lock_guard guard(controlsLock_);
    controls_.push_back(control);
    return true;
}

void TVirtualChangeNotifier::UnRegisterShellChangeNotify(HWND control) {
    bool last = false;
    {
        std::lock_guard guard(controlsLock_);
        const auto found = std::find(controls_.begin(), controls_.end(), control);
        if (found == controls_.end())
            return;
        controls_.erase(found);
        last = controls_.empty();
    }
    ReleasePendingShellNotifies(control);
    if (last && running_)
        Stop();
}

// ---- Start and stop

bool TVirtualChangeNotifier::Start() {
    queue_ = std::make_unique<TChangeDispatchQueue>(manager_);
    SetRecycleBinFolders();
    listener_ = std::make_unique<TUtilityWindow>(
        [this](UINT message, WPARAM wParam, LPARAM) { return OnListenerMessage(message, wParam); });
    const HWND listener = listener_->Handle();
    dispatch_ = std::make_unique<TChangeDispatchThread>(
        *queue_,
        [listener](TVirtualShellEventList* list) {
            return PostMessageW(listener, WM_SHELLNOTIFY, reinterpret_cast<WPARAM>(list), 0) != FALSE;
        },
        [](std::exception_ptr error) { Application().HandleException(error); });

    shellReady_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    shellThread_ = shellReady_ != nullptr
                       ? CreateThread(nullptr, 0, ShellThreadProc, this, 0, &shellThreadId_)
                       : nullptr;
    if (shellThread_ != nullptr) {
        // The thread's message queue and window exist once it is ready; a stop can then reach it.
        const HANDLE waits[2] = {shellReady_, shellThread_};
        WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    }
    running_ = true;
    if (shellThread_ == nullptr || !shellRegistered_) {
        Stop();
        return false;
    }
    return true;
}

void TVirtualChangeNotifier::Stop() {
    StopShellThread();
    dispatch_.reset(); // ends the quiet period at once and joins
    if (listener_) {
        ReleasePendingShellNotifies(listener_->Handle());
        listener_.reset();
    }
    queue_.reset();
    UnregisterClassW(kNotifyWindowClass, GetModuleHandleW(nullptr));
    running_ = false;
}

void TVirtualChangeNotifier::StopShellThread() {
    if (shellThread_ != nullptr) {
        // The thread message ends its loop; the window message ends it too should the thread's queue refuse
        // the first.
        PostThreadMessageW(shellThreadId_, WM_SHELLTHREADQUIT, 0, 0);
        if (const HWND window = shellWindow_.load())
            PostMessageW(window, WM_CLOSE, 0, 0);
        // A thread that does not end in time is left behind rather than waited for forever.
        WaitForSingleObject(shellThread_, kShellThreadStopWait);
        CloseHandle(shellThread_);
        shellThread_ = nullptr;
    }
    if (shellReady_ != nullptr) {
        CloseHandle(shellReady_);
        shellReady_ = nullptr;
    }
    shellRegistered_ = false;
}

void TVirtualChangeNotifier::SetRecycleBinFolders() {
    std::vector<PItemIDList> folders;
    LPITEMIDLIST bin = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_BITBUCKET, &bin)))
        folders.push_back(FromItemIDList(bin));
    const DWORD drives = GetLogicalDrives();
    for (int letter = 0; letter < 26; ++letter) {
        if (!(drives & (1u << letter)))
            continue;
        const wchar_t root[4] = {static_cast<wchar_t>(L'A' + letter), L':', L'\\', 0};
        if (GetDriveTypeW(root) != DRIVE_FIXED)
            continue;
        for (const char16_t* name : {u"Recycled", u"Recycler"})
            folders.push_back(PathToPIDL(FromW(root) + name)); // nullptr where there is none
    }
    std::vector<PCItemIDList> view(folders.begin(), folders.end());
    queue_->SetRecycleBinFolders(view);
    for (PItemIDList folder : folders)
        CoTaskMemFree(folder);
}

// ---- The listener (GUI thread)

std::optional<LRESULT> TVirtualChangeNotifier::OnListenerMessage(UINT message, WPARAM wParam) {
    if (message != WM_SHELLNOTIFY)
        return std::nullopt;
    auto* list = reinterpret_cast<TVirtualShellEventList*>(wParam);
    std::lock_guard guard(controlsLock_);
    std::vector<TChangeTarget> targets;
    for (HWND control : controls_)
        targets.push_back(TChangeTarget{IsWindow(control) ? reinterpret_cast<std::uintptr_t>(control) : 0});
    DeliverShellEventList(list, targets, [](std::uintptr_t window, TVirtualShellEventList* batch) {
        return PostMessageW(reinterpret_cast<HWND>(window), WM_SHELLNOTIFY, reinterpret_cast<WPARAM>(batch),
                            0) != FALSE;
    });
    return 0;
}

// ---- The shell change thread

DWORD WINAPI TVirtualChangeNotifier::ShellThreadProc(void* self) {
    static_cast<TVirtualChangeNotifier*>(self)->RunShellThread();
    return 0;
}

LRESULT CALLBACK TVirtualChangeNotifier::ShellWindowProc(HWND window, UINT message, WPARAM wParam,
                                                         LPARAM lParam) {
    LRESULT result = 0;
    GuardCallback([&] {
        auto* self = reinterpret_cast<TVirtualChangeNotifier*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message == WM_SHELLCHANGENOTIFYLOCKED && self != nullptr)
            self->OnShellChange(wParam, lParam);
        else if (message == WM_CLOSE)
            PostQuitMessage(0);
        else
            result = DefWindowProcW(window, message, wParam, lParam);
    });
    return result;
}

void TVirtualChangeNotifier::RunShellThread() {
    const bool ole = SUCCEEDED(OleInitialize(nullptr));
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ShellWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kNotifyWindowClass;
    RegisterClassW(&windowClass); // a second notifier finds it registered
    const HWND window =
        CreateWindowExW(0, kNotifyWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    ULONG registration = 0;
    LPITEMIDLIST desktop = nullptr;
    if (window != nullptr) {
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        shellWindow_ = window;
        if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &desktop))) {
            SHChangeNotifyEntry entry{desktop, TRUE};
            registration =
                SHChangeNotifyRegister(window, SHCNRF_InterruptLevel | SHCNRF_ShellLevel | SHCNRF_NewDelivery,
                                       SHCNE_ALLEVENTS, WM_SHELLCHANGENOTIFYLOCKED, 1, &entry);
        }
    }
    shellRegistered_ = registration != 0;
    SetEvent(shellReady_);
    if (registration != 0) {
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            if (message.hwnd == nullptr && message.message == WM_SHELLTHREADQUIT)
                break;
            DispatchMessageW(&message);
        }
        SHChangeNotifyDeregister(registration);
    }
    shellWindow_ = nullptr;
    if (window != nullptr)
        DestroyWindow(window);
    CoTaskMemFree(desktop);
    if (ole)
        OleUninitialize();
}

void TVirtualChangeNotifier::OnShellChange(WPARAM lock, LPARAM processId) {
    PIDLIST_ABSOLUTE* pidls = nullptr;
    LONG event = 0;
    const HANDLE locked = SHChangeNotification_Lock(reinterpret_cast<HANDLE>(lock),
                                                    static_cast<DWORD>(processId), &pidls, &event);
    if (locked == nullptr)
        return;
    const std::uint32_t bits =
        static_cast<std::uint32_t>(event) & ~static_cast<std::uint32_t>(SHCNE_INTERRUPT);
    if (const std::optional<TVirtualShellNotifyEvent> kind = ShellNotifyEventOf(bits);
        kind && pidls != nullptr) {
        const PCItemIDList pidl1 = FromItemIDList(static_cast<LPCITEMIDLIST>(pidls[0]));
        const PCItemIDList pidl2 = FromItemIDList(static_cast<LPCITEMIDLIST>(pidls[1]));
        if (CarriesDwordItems(*kind)) {
            std::uint32_t item1 = 0, item2 = 0;
            DwordItemsOf(pidl1, item1, item2);
            queue_->Add(*kind, nullptr, nullptr, item1, item2);
        } else {
            queue_->Add(*kind, pidl1, pidl2);
        }
    }
    SHChangeNotification_Unlock(locked);
}

} // namespace tarvola
