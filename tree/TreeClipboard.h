// A tree's side of the clipboard and of drag and drop: the formats it offers, the cut/copy marking, the
// nodes a transfer carries, and the insertion of transferred nodes. The node content travels through a
// narrow port (ITreeNodeTransfer) that the node stream fills. The OLE clipboard operations are declared
// here and built for Windows only (TreeClipboardOle.cpp).
#pragma once

#include "tree/ClipboardFormats.h"
#include "tree/Delegate.h"
#include "tree/TreeTypes.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

struct tagFORMATETC;
struct tagSTGMEDIUM;
struct IDataObject;

namespace tarvola {

// Writes nodes into the byte form of a transfer and reads them back: one chunk per node, holding the node
// with its subtree.
class ITreeNodeTransfer {
public:
    virtual ~ITreeNodeTransfer() = default;
    virtual void WriteNode(TBaseVirtualTree& tree, PVirtualNode node, std::vector<std::uint8_t>& out) = 0;
    // Reads the chunk at the start of data into the fresh node; answers the bytes it took (at least one).
    // Throws on a malformed chunk.
    virtual std::size_t ReadNode(TBaseVirtualTree& tree, std::span<const std::uint8_t> data,
                                 PVirtualNode node) = 0;
};

// The link from objects that may outlive their tree (data objects on the clipboard, drag managers) to the
// tree. The tree cuts it when it goes; a cut link answers null.
struct TTreeLink {
    TBaseVirtualTree* Tree = nullptr;
    // The data object this tree put on the platform clipboard, and how to take it off when the tree goes.
    void* ClipboardObject = nullptr;
    void (*ReleaseClipboardObject)(void* object) = nullptr;
};

using TVTGetUserClipboardFormatsEvent = Delegate<void(TBaseVirtualTree&, TFormatEtcArray& formats)>;
// A renderer of further formats into the bytes of a memory block (the string tree's text formats);
// false when it does not render the format.
using TVTRenderFormatEvent = Delegate<bool(TBaseVirtualTree&, std::uint16_t cfFormat, bool forClipboard,
                                           std::vector<std::uint8_t>& bytes)>;
using TVTRenderOLEDataEvent = Delegate<void(TBaseVirtualTree&, const tagFORMATETC& formatEtcIn,
                                            tagSTGMEDIUM& medium, bool forClipboard, long& result)>;
using TVTCreateDataObjectEvent = Delegate<void(TBaseVirtualTree&, IDataObject*& dataObject)>;

class TTreeClipboard {
public:
    explicit TTreeClipboard(TBaseVirtualTree& tree);
    // Cuts the link and takes this tree's object off the platform clipboard.
    ~TTreeClipboard();
    TTreeClipboard(const TTreeClipboard&) = delete;
    TTreeClipboard& operator=(const TTreeClipboard&) = delete;

    TBaseVirtualTree& Tree() const { return tree_; }
    TClipboardFormats& ClipboardFormats() { return formats_; }
    TVTNodeAttachMode DefaultPasteMode = TVTNodeAttachMode::amAddChildLast;
    // The node content of transfers: the tree's node stream unless set otherwise; with none the tree offers
    // and accepts no nodes.
    ITreeNodeTransfer* NodeTransfer = nullptr;

    TVTGetUserClipboardFormatsEvent OnGetUserClipboardFormats;
    TVTRenderFormatEvent OnRenderFormat;
    TVTRenderOLEDataEvent OnRenderOLEData;
    TVTCreateDataObjectEvent OnCreateDataObject;

    // The formats of the tree's class allowed by ClipboardFormats (all of them while the list is empty),
    // then what the owner adds.
    TFormatEtcArray GetNativeClipboardFormats();
    // The nodes a transfer carries: the cut/copy set for the clipboard, else the selection; in tree order,
    // topmost nodes only.
    std::vector<PVirtualNode> TransferNodes(bool forClipboard) const;
    // The node chunks of those nodes (empty without a node transfer).
    std::vector<std::uint8_t> RenderNodeChunks(bool forClipboard);

    void MarkCutCopyNodes();
    void CancelCutOrCopy();
    // After a paste of a cut: deletes the marked nodes.
    void FinishCutOrCopy();
    // The clipboard took this tree's object: marks the selection and enters the copy or cut state.
    void EnterCutOrCopy(bool cut);
    void LeaveCutPending();

    // Inserts the nodes of chunks at target (null: the root) by mode; they keep their order. source is the
    // tree they came from when it lives in this process.
    bool InsertNodeChunks(const TBaseVirtualTree* source, std::span<const std::uint8_t> chunks,
                          PVirtualNode target, TVTNodeAttachMode mode);
    // Moves the source tree's dragged or cut nodes to target by mode (a transfer within the process).
    bool MoveNodesFrom(TBaseVirtualTree& source, PVirtualNode target, TVTNodeAttachMode mode);

    const std::shared_ptr<TTreeLink>& Link() const { return link_; }
    // The key "Virtual Tree Reference" names this tree by, and the live tree a key names (null when no
    // live tree, or more than one, has it).
    std::uint32_t ReferenceKey() const;
    static TBaseVirtualTree* LiveTreeByKey(std::uint32_t key);

    // The nodes of the running OLE drag from this tree (topmost selected nodes in tree order).
    std::vector<PVirtualNode> DragSelection;
    // The start of an OLE drag: takes the drag selection and enters the dragging state.
    void BeginOleDrag();
    // A node of the tree moved (by whoever) while its drag runs.
    void NoteNodeMoved(PVirtualNode node);
    // The end of the drag loop: after a move with autoDelete, deletes the dragged nodes that are still where
    // they were (a drop in this program may have moved them already, or deleted them); leaves the state.
    void EndOleDrag(std::uint32_t effect, bool autoDelete);

    // --- Windows only (TreeClipboardOle.cpp)
    bool CopyToClipboard();
    bool CutToClipboard();
    bool PasteFromClipboard();
    bool ProcessOLEData(TBaseVirtualTree* source, IDataObject* dataObject, PVirtualNode target,
                        TVTNodeAttachMode mode, bool optimized);
    long RenderOLEData(const tagFORMATETC& formatEtcIn, tagSTGMEDIUM& medium, bool forClipboard);
    // A new data object of this tree (the owner's, else the tree's own), with one reference.
    IDataObject* CreateDataObject(bool forClipboard);
    static TBaseVirtualTree* GetTreeFromDataObject(IDataObject* dataObject);

private:
    bool PutOnClipboard(bool cut);

    TBaseVirtualTree& tree_;
    std::unique_ptr<ITreeNodeTransfer> streamTransfer_;
    TClipboardFormats formats_;
    std::shared_ptr<TTreeLink> link_;
    std::vector<PVirtualNode> movedDuringDrag_;
};

} // namespace tarvola
