// Drag and drop with the mouse under Wine: synthetic input presses on a node, moves past the drag distance
// and releases over another row. The platform's own drag loop carries the drag, the window's drop target
// follows it (and scrolls near an edge), and the owner's drop handler moves the node.
#include "tests/support/MessagePump.h"

#include "forms/Form.h"
#include "tree/TreeControl.h"
#include "tree/TreeDragImage.h"
#include "tree/TreeOptions.h"
#include "tree/TreeProperties.h"

#include <gtest/gtest.h>
#include <ole2.h>

#include <chrono>
#include <memory>
#include <vector>

namespace tarvola {
namespace {

using namespace std::chrono_literals;

// Rows of 18 pixels whose text is 50 pixels wide.
class TextTree : public TBaseVirtualTree {
public:
    using TBaseVirtualTree::TBaseVirtualTree;
    int GetNodeWidth(PVirtualNode, TColumnIndex) override { return 50; }
};

constexpr int Label = 30;
constexpr int RowY(int row) {
    return row * 18 + 5;
}

// Plays screen points through SendInput from a thread timer, one step per tick, so that the steps reach
// the platform's modal drag loop as well as the window's own messages.
class TMouseScript {
public:
    enum class TAction { Down, Move, Up };
    struct TStep {
        TAction Action;
        POINT Screen;
    };
    explicit TMouseScript(std::vector<TStep> steps) : steps_(std::move(steps)) {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, 40, &TMouseScript::Tick);
    }
    ~TMouseScript() {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    bool Done() const { return next_ >= steps_.size(); }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        if (current_ != nullptr)
            current_->Play();
    }
    void Play() {
        if (Done())
            return;
        const TStep& step = steps_[next_++];
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dx = MulDiv(step.Screen.x, 65536, GetSystemMetrics(SM_CXSCREEN));
        input.mi.dy = MulDiv(step.Screen.y, 65536, GetSystemMetrics(SM_CYSCREEN));
        input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        if (step.Action == TAction::Down)
            input.mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
        else if (step.Action == TAction::Up)
            input.mi.dwFlags |= MOUSEEVENTF_LEFTUP;
        SendInput(1, &input, sizeof(input));
    }
    static inline TMouseScript* current_ = nullptr;
    std::vector<TStep> steps_;
    std::size_t next_ = 0;
    UINT_PTR timer_ = 0;
};

// The owner: accepts every drag over the tree and moves the dragged nodes next to the drop target.
struct TMovingOwner {
    std::vector<TDropMode> drops;
    void Over(TBaseVirtualTree&, TBaseVirtualTree*, TShiftState, TDragState, TDropPoint, TDropMode,
              std::uint32_t&, bool& accept) {
        accept = true;
    }
    void Drop(TBaseVirtualTree& tree, TBaseVirtualTree* source, IDataObject*,
              const std::vector<std::uint16_t>&, TShiftState, TDropPoint, std::uint32_t& effect,
              TDropMode mode) {
        drops.push_back(mode);
        PVirtualNode target = tree.DropTargetNode();
        if (source != &tree || target == nullptr || effect != DropEffectMove)
            return;
        const TVTNodeAttachMode attach =
            mode == TDropMode::dmAbove ? TVTNodeAttachMode::amInsertBefore : TVTNodeAttachMode::amInsertAfter;
        for (PVirtualNode node : tree.GetSortedSelection(true))
            if (node != target)
                tree.MoveTo(node, target, attach, false);
    }
};

struct TreeDragWindow : ::testing::Test {
    TreeDragWindow() { EXPECT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
    ~TreeDragWindow() override {
        SetCursorPos(saved_.x, saved_.y);
        OleUninitialize();
    }
    TForm form{nullptr};
    TextTree* tree = nullptr;
    TVirtualTreeControl* control = nullptr;
    std::vector<PVirtualNode> rows;
    TMovingOwner owner;
    POINT saved_{};

    void SetUp() override {
        GetCursorPos(&saved_);
        form.SetBounds(40, 40, 320, 320);
        control = &form.Create<TVirtualTreeControl>([this](ITreeViewHost* host) {
            auto made = std::make_unique<TextTree>(host);
            tree = made.get();
            return made;
        });
        control->SetParent(&form);
        control->SetBounds(0, 0, 240, 240);
        form.Show();
        SetForegroundWindow(form.Handle());
        tree->SetRootNodeCount(8);
        for (PVirtualNode node = tree->GetFirst(); node != nullptr; node = tree->GetNextSibling(node))
            rows.push_back(node);
        tree->DragModeAutomatic = true;
        control->DropTarget().OnDragOver = TVTDragOverEvent::Bind<&TMovingOwner::Over>(&owner);
        control->DropTarget().OnDragDrop = TVTDragDropEvent::Bind<&TMovingOwner::Drop>(&owner);
        test::PumpFor(100ms);
    }
    POINT Screen(int x, int y) const {
        POINT point{x, y};
        ClientToScreen(control->Handle(), &point);
        return point;
    }
    std::vector<PVirtualNode> Order() const {
        std::vector<PVirtualNode> order;
        for (PVirtualNode node = tree->GetFirst(); node != nullptr; node = tree->GetNextSibling(node))
            order.push_back(node);
        return order;
    }
};

TEST_F(TreeDragWindow, ADragWithTheMouseMovesANodeWithinTheTree) {
    using A = TMouseScript::TAction;
    const int dropY = 4 * 18 + 14; // the lower half of row 4, right of its text: below it
    const int dropX = 150;
    TMouseScript script({{A::Move, Screen(Label, RowY(1))},
                         {A::Down, Screen(Label, RowY(1))},
                         {A::Move, Screen(Label + 3, RowY(1) + 4)},
                         {A::Move, Screen(Label + 6, RowY(1) + 12)},
                         {A::Move, Screen(Label + 6, RowY(2) + 12)},
                         {A::Move, Screen(dropX - 4, dropY - 4)},
                         {A::Move, Screen(dropX, dropY)},
                         {A::Move, Screen(dropX, dropY)},
                         {A::Up, Screen(dropX, dropY)}});
    EXPECT_TRUE(test::PumpUntil([&] { return script.Done(); }, 10s));
    test::PumpFor(300ms);

    ASSERT_EQ(owner.drops, std::vector<TDropMode>{TDropMode::dmBelow});
    // Row 1 now follows row 4; the move is not undone by deleting the moved node after the drag.
    EXPECT_EQ(Order(), (std::vector<PVirtualNode>{rows[0], rows[2], rows[3], rows[4], rows[1], rows[5],
                                                  rows[6], rows[7]}));
    EXPECT_EQ(tree->DropTargetNode(), nullptr);
    EXPECT_FALSE(tree->InState(TreeState::tsOLEDragging));
}

// What the drag loop saw of the source's own drag image.
struct TImageProbe {
    TVirtualTreeControl* control = nullptr;
    bool shown = false;
    bool layered = false;
    SIZE size{};
    POINT afterMove{};
    HWND window = nullptr;
};
TImageProbe probe;

// The platform's loop, replaced: the pointer moves once (the source moves its image), then the user cancels.
HRESULT WINAPI ProbingDragLoop(IDataObject*, IDropSource* source, DWORD, DWORD* effect) {
    TTreeDragImage* image = probe.control->DragImage();
    probe.window = image != nullptr ? image->Window() : nullptr;
    if (probe.window != nullptr) {
        probe.shown = IsWindowVisible(probe.window) != FALSE;
        probe.layered = (GetWindowLongW(probe.window, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
        RECT bounds{};
        GetWindowRect(probe.window, &bounds);
        probe.size = SIZE{bounds.right - bounds.left, bounds.bottom - bounds.top};
        POINT cursor{};
        GetCursorPos(&cursor);
        SetCursorPos(cursor.x + 25, cursor.y + 10);
        source->GiveFeedback(DROPEFFECT_MOVE);
        GetWindowRect(probe.window, &bounds);
        probe.afterMove = POINT{bounds.left - cursor.x, bounds.top - cursor.y};
    }
    *effect = DROPEFFECT_NONE;
    return DRAGDROP_S_CANCEL;
}

TEST_F(TreeDragWindow, TheTreeShowsItsOwnDragImageWhereTheShellHelperTakesNone) {
    control->MouseSeams.DoDragDrop = ProbingDragLoop;
    for (const bool noImage : {false, true}) {
        SCOPED_TRACE(noImage ? "diNoImage" : "diComplete");
        tree->Properties().DragImageKind =
            noImage ? TVTDragImageKind::diNoImage : TVTDragImageKind::diComplete;
        probe = TImageProbe{};
        probe.control = control;
        const POINT start = Screen(Label, RowY(1));
        SetCursorPos(start.x, start.y);
        const LPARAM at = MAKELPARAM(Label, RowY(1));
        SendMessageW(control->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SetCursorPos(start.x + 12, start.y);
        SendMessageW(control->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(Label + 12, RowY(1)));
        SendMessageW(control->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(Label + 12, RowY(1)));
        if (noImage) {
            EXPECT_EQ(probe.window, nullptr);
            continue;
        }
        ASSERT_NE(probe.window, nullptr);
        EXPECT_TRUE(probe.shown);
        EXPECT_TRUE(probe.layered);
        EXPECT_EQ(probe.size.cx, tree->Properties().DragWidth);
        EXPECT_EQ(probe.size.cy, tree->Properties().DragHeight);
        // The image keeps its hot spot (its centre) under the pointer as it moves.
        EXPECT_EQ(probe.afterMove.x, 25 - tree->Properties().DragWidth / 2);
        EXPECT_EQ(probe.afterMove.y, 10 - tree->Properties().DragHeight / 2);
        EXPECT_EQ(control->DragImage(), nullptr);
        EXPECT_FALSE(IsWindow(probe.window)) << "the image goes with the drag";
    }
}

} // namespace
} // namespace tarvola
