#include "explorer/VirtualExplorerTreeControl.h"

#include "explorer/ColumnMenu.h"
#include "shell/VirtualImageThreadWin32.h"
#include "shell/VirtualShellUtilities.h"
#include "shell/VirtualSysImages.h"
#include "tree/TreeGuards.h"

namespace tarvola {

TVirtualExplorerTreeControl::TIconPort::TIconPort(TVirtualExplorerTreeControl& control)
    : control_(control), closedFolder_(DefaultSystemImageIndex(TDefaultSystemImage::ClosedFolder)),
      unknownFile_(DefaultSystemImageIndex(TDefaultSystemImage::UnknownFile)) {}

std::optional<std::uint64_t>
TVirtualExplorerTreeControl::TIconPort::RequestIcon(const void* node, const TItemIDList& pidl, bool) {
    // The thread finds the small icon's index, which the large image list shares.
    if (threads == nullptr || !control_.HandleAllocated())
        return std::nullopt;
    const HWND window = control_.Handle();
    threads->RegisterControl(window);
    TImageRequest request;
    request.Control = reinterpret_cast<TImageRequestControl>(window);
    request.MessageId = WM_ICONTHREADRESULT;
    request.PIDL = pidl.Data();
    request.Data = const_cast<void*>(node);
    return threads->Queue().AddNewItem(request);
}

void TVirtualExplorerTreeControl::TIconPort::WithdrawIcon(const void* node) {
    // A result already posted for the node is turned down by the tree: its request is no longer out.
    if (threads != nullptr && control_.HandleAllocated())
        threads->Queue().ClearPendingItem(reinterpret_cast<TImageRequestControl>(control_.Handle()),
                                          const_cast<void*>(node), WM_ICONTHREADRESULT);
}

void TVirtualExplorerTreeControl::TIconPort::WithdrawAllIcons() {
    if (threads != nullptr && control_.HandleAllocated())
        threads->ClearPendingItems(control_.Handle(), WM_ICONTHREADRESULT);
}

int TVirtualExplorerTreeControl::TIconPort::Placeholder(bool fileSystemFolder) const {
    return fileSystemFolder ? closedFolder_ : unknownFile_;
}

void TVirtualExplorerTreeControl::TCursorPort::ShowWait() {
    saved_ = ::SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)));
}

void TVirtualExplorerTreeControl::TCursorPort::RestoreCursor() {
    ::SetCursor(saved_);
    saved_ = nullptr;
}

TVirtualExplorerTreeControl::TVirtualExplorerTreeControl(TComponent* owner)
    : TVirtualExplorerTreeControl(owner, [](IExplorerNamespace& shell, ITreeViewHost* host) {
          return std::make_unique<TVirtualExplorerTree>(shell, host);
      }) {}

TVirtualExplorerTreeControl::TVirtualExplorerTreeControl(TComponent* owner, const TExplorerTreeMaker& make)
    : TVirtualTreeControl(owner,
                          [this, &make](ITreeViewHost* host) -> std::unique_ptr<TBaseVirtualTree> {
                              return make(shell_, host);
                          }),
      explorer_(dynamic_cast<TCustomVirtualExplorerTree&>(Tree())) {
    SetTreePorts(nullptr, &cursorPort_);
    columnMenu_ = &AttachColumnMenu(*this, Tree(), [this] { return Handle(); });
    SetExplorerShellPort(Tree(), &shellPort_);
    systemImages_ = std::make_unique<TImageList>(nullptr, SmallSysImages().Handle());
    SetImages(systemImages_.get());
    SetExplorerWindowHooks(
        Tree(), [this] { DispatchQueuedShellNotifies(); },
        [this](PVirtualNode node) {
            if (HandleAllocated())
                PostMessageW(Handle(), WM_EDITNODEAGAIN, reinterpret_cast<WPARAM>(node), 0);
        });
}

TVirtualExplorerTreeControl::~TVirtualExplorerTreeControl() {
    // The window goes while this class still handles its messages: the notifier and OLE let go of it.
    try {
        DestroyHandle();
    } catch (...) {
    }
    SetExplorerWindowHooks(Tree(), nullptr, nullptr);
    LeaveImageThreads();
    SetTreePorts(nullptr, nullptr);
}

void TVirtualExplorerTreeControl::SetTreePorts(IExplorerIconPort* icons, IExplorerCursorPort* cursor) {
    explorer_.SetIconPort(icons);
    if (icons != nullptr)
        explorer_.SetImageOptions(explorer_.ImageOptions().With(TVETImageOption::toThreadedImages));
    explorer_.SetCursorPort(cursor);
}

void TVirtualExplorerTreeControl::SetImageThreads(TVirtualImageThreadManager* threads) {
    LeaveImageThreads();
    iconPort_.threads = threads;
    SetTreePorts(threads != nullptr ? &iconPort_ : nullptr, &cursorPort_);
}

void TVirtualExplorerTreeControl::LeaveImageThreads() {
    if (iconPort_.threads == nullptr)
        return;
    SetTreePorts(nullptr, &cursorPort_);
    if (HandleAllocated())
        iconPort_.threads->UnRegisterControl(Handle());
}

void TVirtualExplorerTreeControl::IconResult(WPARAM wParam) {
    auto* item = reinterpret_cast<TImageThreadItem*>(wParam);
    if (item == nullptr)
        return;
    ScopeExit release([&] {
        if (iconPort_.threads != nullptr)
            iconPort_.threads->ReleaseItem(item);
    });
    explorer_.DeliverIcon(static_cast<PVirtualNode>(item->Data), item->Id, item->ImageIndex);
}

LRESULT TVirtualExplorerTreeControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (std::optional<LRESULT> answer = ShellMessage(message, wParam, lParam))
        return *answer;
    switch (message) {
    case WM_ICONTHREADRESULT:
        IconResult(wParam);
        return 0;
    case WM_DESTROY:
        if (iconPort_.threads != nullptr) {
            SetTreePorts(nullptr, &cursorPort_);
            iconPort_.threads->UnRegisterControl(Handle());
            SetTreePorts(&iconPort_, &cursorPort_);
        }
        break;
    default:
        break;
    }
    return TVirtualTreeControl::WndProc(message, wParam, lParam);
}

} // namespace tarvola
