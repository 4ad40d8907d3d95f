// Drags through the tree's drag manager under Wine, with the platform's drag loop replaced by a script that
// calls the target's drop-target methods as the loop would: moves within a tree and between trees, drops
// taken elsewhere, cancelled drags, and the target's answers to direct calls.
#include "tests/tree/ClipboardTestSupport.h"
#include "tests/tree/TreeTestSupport.h"

#include "tree/ClipboardFormatsWin32.h"
#include "tree/DragManager.h"

#include <gtest/gtest.h>
#include <ole2.h>

#include <string>

namespace tarvola::test {
namespace {

using Mode = TVTNodeAttachMode;

// A tree "1(2),3,4" that takes drops: on a node as its last child, above or below it as a sibling, moving
// within the program when the effect is a move and copying otherwise.
struct DragTree : NumberedTree {
    TTreeDropTarget dropTarget{tree};
    TVTDragManager* manager = nullptr;
    std::string dropped;

    explicit DragTree(int base = 0) {
        PVirtualNode one = AddNumbered(tree, nullptr, base + 1);
        AddNumbered(tree, one, base + 2);
        AddNumbered(tree, nullptr, base + 3);
        AddNumbered(tree, nullptr, base + 4);
        tree.Options.MultiSelect = true;
        manager = new TVTDragManager(tree.Clipboard().Link(), dropTarget, nullptr);
        dropTarget.OnDragOver = TVTDragOverEvent::Bind<&DragTree::Over>(this);
        dropTarget.OnDragDrop = TVTDragDropEvent::Bind<&DragTree::Drop>(this);
    }
    ~DragTree() { manager->Release(); }
    void Over(TBaseVirtualTree&, TBaseVirtualTree*, TShiftState, TDragState, TDropPoint, TDropMode,
              std::uint32_t&, bool& accept) {
        accept = true;
    }
    void Drop(TBaseVirtualTree&, TBaseVirtualTree* source, IDataObject* dataObject,
              const std::vector<std::uint16_t>& formats, TShiftState, TDropPoint, std::uint32_t& effect,
              TDropMode mode) {
        const Mode attach = mode == TDropMode::dmAbove   ? Mode::amInsertBefore
                            : mode == TDropMode::dmBelow ? Mode::amInsertAfter
                                                         : Mode::amAddChildLast;
        const bool move = effect == DROPEFFECT_MOVE && source != nullptr;
        dropped = "formats " + std::to_string(formats.size());
        tree.Clipboard().ProcessOLEData(source, dataObject, tree.DropTargetNode(), attach, move);
    }
};

// The drag loop's stand-in: enters the target at one point, moves to another and drops there with the
// given keys (or cancels).
struct DragScript {
    IDropTarget* target = nullptr;
    POINTL enter{5, 3};
    POINTL drop{5, 3};
    DWORD keys = MK_LBUTTON;
    bool cancel = false;
    DWORD effectAnswered = DROPEFFECT_NONE; // when no target is given: what a foreign target answers
};
DragScript* script = nullptr;

HRESULT WINAPI ScriptedDoDragDrop(IDataObject* dataObject, IDropSource* source, DWORD allowed,
                                  DWORD* effect) {
    if (source->QueryContinueDrag(FALSE, script->keys) != S_OK)
        return E_UNEXPECTED;
    if (script->target == nullptr) {
        *effect = script->effectAnswered & allowed;
        return script->cancel ? DRAGDROP_S_CANCEL : DRAGDROP_S_DROP;
    }
    DWORD offered = allowed;
    script->target->DragEnter(dataObject, script->keys, script->enter, &offered);
    offered = allowed;
    script->target->DragOver(script->keys, script->drop, &offered);
    if (script->cancel) {
        if (source->QueryContinueDrag(TRUE, script->keys) != DRAGDROP_S_CANCEL)
            return E_UNEXPECTED;
        script->target->DragLeave();
        *effect = DROPEFFECT_NONE;
        return DRAGDROP_S_CANCEL;
    }
    if (source->QueryContinueDrag(FALSE, 0) != DRAGDROP_S_DROP)
        return E_UNEXPECTED;
    offered = allowed;
    const HRESULT dropped =
        script->target->Drop(dataObject, script->keys & ~MK_LBUTTON, script->drop, &offered);
    *effect = dropped == S_OK ? offered : DROPEFFECT_NONE;
    return DRAGDROP_S_DROP;
}

class ClipboardDragOle : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
    void TearDown() override {
        script = nullptr;
        OleUninitialize();
    }
    TOleDragOptions Options() const {
        TOleDragOptions options;
        options.DoDragDrop = ScriptedDoDragDrop;
        return options;
    }
};

TEST_F(ClipboardDragOle, AMoveWithinATreeKeepsTheNodesTheDropMoved) {
    DragTree t;
    t.tree.AddToSelection(t.Find(1));
    DragScript drag;
    drag.target = t.manager;
    drag.drop = {5, 40}; // the upper half of 4's row (1 is collapsed: rows 1, 3, 4)
    script = &drag;
    EXPECT_EQ(StartOleDrag(t.tree, *t.manager, Options()), static_cast<DWORD>(DROPEFFECT_MOVE));
    EXPECT_EQ(t.dropped, "formats 1");
    EXPECT_EQ(Shape(t.tree), "3,1(2),4") << "the moved nodes were not deleted after the drag";
    EXPECT_FALSE(t.tree.InState(TreeState::tsOLEDragging));
    EXPECT_EQ(TreeInvariantChecker::Check(t.tree), "");
}

TEST_F(ClipboardDragOle, DragsBetweenTreesMoveOrCopyByTheKeys) {
    struct Case {
        const char* what;
        DWORD keys;
        const char* source;
        const char* target;
    };
    const Case cases[] = {
        {"a plain drag from another tree copies", MK_LBUTTON, "1(2),3,4", "11(12,1(2)),13,14"},
        {"Shift moves", MK_LBUTTON | MK_SHIFT, "3,4", "11(12,1(2)),13,14"},
    };
    for (const Case& c : cases) {
        DragTree source;
        DragTree target(10);
        target.dropTarget.ShowDropmark = false;
        source.tree.AddToSelection(source.Find(1));
        DragScript drag;
        drag.target = target.manager;
        drag.keys = c.keys;
        script = &drag;
        StartOleDrag(source.tree, *source.manager, Options());
        EXPECT_EQ(Shape(source.tree), c.source) << c.what;
        EXPECT_EQ(Shape(target.tree), c.target) << c.what;
        EXPECT_EQ(TreeInvariantChecker::Check(source.tree), "") << c.what;
        EXPECT_EQ(TreeInvariantChecker::Check(target.tree), "") << c.what;
    }
}

TEST_F(ClipboardDragOle, ADropElsewhereDeletesMovedNodesOnlyWhenAskedAndNeverOnCancel) {
    struct Case {
        const char* what;
        DWORD answered;
        bool cancel;
        bool autoDelete;
        const char* shape;
    };
    const Case cases[] = {
        {"moved by another program", DROPEFFECT_MOVE, false, true, "3"},
        {"moved, without automatic deletion", DROPEFFECT_MOVE, false, false, "1(2),3,4"},
        {"copied", DROPEFFECT_COPY, false, true, "1(2),3,4"},
        {"cancelled", DROPEFFECT_MOVE, true, true, "1(2),3,4"},
    };
    for (const Case& c : cases) {
        DragTree t;
        t.tree.AddToSelection(t.Find(1));
        t.tree.SetFocusedNode(t.Find(4)); // the focused node joins the drag
        DragScript drag;
        drag.effectAnswered = c.answered;
        drag.cancel = c.cancel;
        script = &drag;
        TOleDragOptions options = Options();
        options.AutoDeleteMovedNodes = c.autoDelete;
        StartOleDrag(t.tree, *t.manager, options);
        EXPECT_EQ(Shape(t.tree), c.shape) << c.what;
    }
}

TEST_F(ClipboardDragOle, TheDropSourceAndTargetAnswerThePlatform) {
    DragTree t;
    IDropSource* source = t.manager;
    EXPECT_EQ(source->GiveFeedback(DROPEFFECT_COPY), DRAGDROP_S_USEDEFAULTCURSORS);
    EXPECT_EQ(source->QueryContinueDrag(FALSE, MK_RBUTTON), S_OK);
    EXPECT_EQ(source->QueryContinueDrag(FALSE, MK_LBUTTON | MK_RBUTTON), DRAGDROP_S_CANCEL);
    IDropTarget* target = nullptr;
    ASSERT_EQ(t.manager->QueryInterface(IID_IDropTarget, reinterpret_cast<void**>(&target)), S_OK);

    // Another tree's data: the source tree is known, Ctrl+Shift asks for a link that is not offered.
    DragTree other(10);
    other.tree.AddToSelection(other.Find(11));
    IDataObject* data = other.tree.Clipboard().CreateDataObject(false);
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    EXPECT_EQ(target->DragEnter(data, MK_LBUTTON | MK_CONTROL | MK_SHIFT, {5, 3}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(t.manager->SourceTree(), &other.tree);
    EXPECT_TRUE(t.manager->IsDropTarget());
    IDataObject* current = t.manager->CurrentDataObject();
    EXPECT_EQ(current, data);
    current->Release();
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    EXPECT_EQ(target->DragOver(MK_LBUTTON | MK_CONTROL | MK_SHIFT, {5, 3}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_LINK));
    EXPECT_EQ(target->DragLeave(), S_OK);
    EXPECT_FALSE(t.manager->IsDropTarget());
    EXPECT_EQ(t.tree.DropTargetNode(), nullptr);
    data->Release();
    target->Release();
}

} // namespace
} // namespace tarvola::test
