// The explorer tree as a window: a tree control whose core is a TVirtualExplorerTree over the real shell.
// It takes the icon thread's results (WM_ICONTHREADRESULT) for its nodes and puts up the hourglass while
// the tree works. Windows only.
//
// Threaded icons need the process's icon thread manager (SetImageThreads); without one the tree asks the
// shell for each icon itself.
#pragma once

#include "explorer/VirtualExplorerTreeActionsWin32.h"
#include "explorer/VirtualExplorerTree.h"
#include "explorer/VirtualExplorerTreeShell.h"
#include "forms/ComCtrls.h"
#include "tree/TreeControl.h"

#include <functional>

#include <windows.h>

namespace tarvola {

class TVirtualChangeNotifier;
class TVirtualImageThreadManager;
class TColumnMenu;

// The shell seam the control's tree is made with: a base of its own, so that it exists before the tree
// control's constructor makes the tree.
struct TExplorerShellHolder {
    TShellExplorerNamespace shell_;
};

class TVirtualExplorerTreeControl : private TExplorerShellHolder, public TVirtualTreeControl {
public:
    explicit TVirtualExplorerTreeControl(TComponent* owner);
    ~TVirtualExplorerTreeControl() override;
    // Makes the tree core of a descendant flavour over the control's shell.
    using TExplorerTreeMaker =
        std::function<std::unique_ptr<TBaseVirtualTree>(IExplorerNamespace& shell, ITreeViewHost* host)>;
    TVirtualExplorerTreeControl(TComponent* owner, const TExplorerTreeMaker& make);

    // The control's tree core, which Tree() also gives as a plain tree: a TVirtualExplorerTree, or the
    // flavour the maker made.
    TCustomVirtualExplorerTree& ExplorerTree() const { return explorer_; }
    // The icon thread the tree's requests go to (nullptr: none); it must outlive the control's window.
    void SetImageThreads(TVirtualImageThreadManager* threads);

    // The header's column menu (toShellColumnMenu).
    TColumnMenu& ColumnMenu() const { return *columnMenu_; }

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    class TIconPort final : public IExplorerIconPort {
    public:
        explicit TIconPort(TVirtualExplorerTreeControl& control);
        std::optional<std::uint64_t> RequestIcon(const void* node, const TItemIDList& pidl,
                                                 bool large) override;
        void WithdrawIcon(const void* node) override;
        void WithdrawAllIcons() override;
        int Placeholder(bool fileSystemFolder) const override;

        TVirtualImageThreadManager* threads = nullptr;

    private:
        TVirtualExplorerTreeControl& control_;
        int closedFolder_;
        int unknownFile_;
    };
    class TCursorPort final : public IExplorerCursorPort {
    public:
        void ShowWait() override;
        void RestoreCursor() override;

    private:
        HCURSOR saved_ = nullptr;
    };

    // The tree's ports (nullptr: none); an icon port switches threaded icons on.
    void SetTreePorts(IExplorerIconPort* icons, IExplorerCursorPort* cursor);
    // A result of the icon thread: handed to the tree, then released, exactly once.
    void IconResult(WPARAM wParam);
    // The window goes: requests are withdrawn and the control leaves the icon thread.
    void LeaveImageThreads();

    TCustomVirtualExplorerTree& explorer_;
    TIconPort iconPort_{*this};
    TCursorPort cursorPort_;
    TColumnMenu* columnMenu_ = nullptr;

    // ---- Shell interaction and change notifications (VirtualExplorerTreeChangesWin32.cpp)
public:
    // The process's change notifier (nullptr: none); it must outlive the control's window. The tree
    // registers while its window lives and toChangeNotifierThread is set.
    void SetChangeNotifier(TVirtualChangeNotifier* notifier);
    // Switches following changes at run time; switching off applies what is already queued.
    void SetChangeNotifierEnabled(bool value);
    bool ChangeNotifierRegistered() const { return notifierRegistered_; }
    // The window's OLE drop target (valid while the window lives).
    IDropTarget* ExplorerDropTarget() const { return explorerDrop_; }
    TShellExplorerPort& ShellPort() { return shellPort_; }
    void RegisterDropTarget() override;
    void RevokeDropTarget() override;
    // The shell's data object of the selection that the last drag out of the tree carried (nullptr: none).
    IDataObject* SelectionDataObject() const { return selectionData_.Get(); }

protected:
    void InitializeHandle() override;

private:
    std::optional<LRESULT> ShellMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void RegisterChangeNotify();
    void UnregisterChangeNotify(bool applyQueued);
    void DispatchQueuedShellNotifies();
    LRESULT ContextMenuMessage(WPARAM wParam, LPARAM lParam);
    // Left presses and double clicks with the tree told whether they land on an expand button.
    LRESULT ButtonMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // The tree's data object for a drag of its selection: the shell's object of the selected items inside
    // the tree's own; nullptr (the tree's plain object) without items.
    void CreateDataObject(TBaseVirtualTree& tree, IDataObject*& dataObject);
    // The tree's formats are followed by those of the shell's object of the selection.
    void AddShellFormats(TBaseVirtualTree& tree, TFormatEtcArray& formats);

    TShellExplorerPort shellPort_;
    TVirtualChangeNotifier* notifier_ = nullptr;
    bool notifierRegistered_ = false;
    // Registered when the system asked to end the session, to come back when the end is cancelled.
    bool registeredBeforeEndSession_ = false;
    IDropTarget* explorerDrop_ = nullptr;
    bool explorerDropRegistered_ = false;
    // The system's small icons, which the tree's image indexes name.
    std::unique_ptr<TImageList> systemImages_;
    TComPtr<IDataObject> selectionData_;
};

} // namespace tarvola
