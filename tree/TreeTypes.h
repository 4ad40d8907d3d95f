// The records and small types of the tree control: the node record with its state bits, the tree's
// transient state set, the reasons and modes its operations take, and its errors.
#pragma once

#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>

namespace tarvola {

class TBaseVirtualTree;

// One node. The tree allocates it as one zero-filled block: this header, then the internal data of tree
// descendants, then the owner's user data. The hidden root's Parent holds the tree (see TreeFromNode).
struct TVirtualNode {
    std::uint32_t Index;      // position among its siblings
    std::uint32_t ChildCount; // may be stated before the children exist
    std::uint16_t NodeHeight;
    std::uint16_t States;
    std::uint8_t Align;
    std::uint8_t CheckState;
    std::uint8_t CheckType;
    std::uint32_t TotalCount;  // this node and every descendant
    std::uint32_t TotalHeight; // this row and the visible rows below it through expanded nodes
    TVirtualNode* Parent;
    TVirtualNode* PrevSibling;
    TVirtualNode* NextSibling;
    TVirtualNode* FirstChild;
    TVirtualNode* LastChild;
};
using PVirtualNode = TVirtualNode*;

// Node state bits (TVirtualNode::States).
enum : std::uint16_t {
    nsInitialized = 0x0001,
    nsChecking = 0x0002,
    nsCutOrCopy = 0x0004,
    nsDisabled = 0x0008,
    nsDeleting = 0x0010,
    nsExpanded = 0x0020,
    nsHasChildren = 0x0040,
    nsVisible = 0x0080,
    nsSelected = 0x0100,
    nsInitialUserData = 0x0200,
    nsAllChildrenHidden = 0x0400,
    nsClearing = 0x0800,
    nsMultiline = 0x1000,
    nsHeightMeasured = 0x2000,
    nsToggling = 0x4000,
};

// What OnInitNode may ask for a node.
enum : std::uint8_t {
    insDisabled = 0x01,
    insExpanded = 0x02,
    insHasChildren = 0x04,
    insMultiline = 0x08,
    insSelected = 0x10,
};
using TVirtualNodeInitStates = std::uint8_t;

enum class TVTNodeAttachMode : std::uint8_t {
    amNoWhere = 0,
    amInsertBefore = 1,
    amInsertAfter = 2,
    amAddChildFirst = 3,
    amAddChildLast = 4,
};

enum class TChangeReason : std::uint8_t {
    crIgnore = 0,
    crAccumulated = 1,
    crChildAdded = 2,
    crChildDeleted = 3,
    crNodeAdded = 4,
    crNodeCopied = 5,
    crNodeMoved = 6,
};
const char* ChangeReasonName(TChangeReason reason);

enum class TVTUpdateState : std::uint8_t { usBegin = 0, usUpdate = 3, usEnd = 4 };

enum class TSortDirection : std::uint8_t { sdAscending = 0, sdDescending = 1 };
using TColumnIndex = std::int32_t;
constexpr TColumnIndex NoColumn = -1;
constexpr TColumnIndex InvalidColumn = -2;

// The tree's transient states, by bit number.
enum class TreeState : std::uint8_t {
    tsCancelHintAnimation = 0,
    tsChangePending = 1,
    tsCheckPropagation = 2,
    tsCollapsing = 3,
    tsToggleFocusedSelection = 4,
    tsClearPending = 5,
    tsCopyPending = 7,
    tsCutPending = 8,
    tsDrawSelPending = 9,
    tsDrawSelecting = 10,
    tsEditing = 11,
    tsEditPending = 12,
    tsExpanding = 13,
    tsHint = 14,
    tsInAnimation = 15,
    tsIncrementalSearching = 16,
    tsIncrementalSearchPending = 17,
    tsIterating = 18,
    tsKeyCheckPending = 19,
    tsLeftButtonDown = 20,
    tsMouseCheckPending = 21,
    tsMiddleButtonDown = 22,
    tsNeedScale = 23,
    tsNeedRootCountUpdate = 24,
    tsOLEDragging = 25,
    tsOLEDragPending = 26,
    tsPainting = 27,
    tsRightButtonDown = 28,
    tsPopupMenuShown = 29,
    tsScrolling = 30,
    tsScrollPending = 31,
    tsSizing = 32,
    tsStopValidation = 33,
    tsStructureChangePending = 34,
    tsSynchMode = 35,
    tsThumbTracking = 36,
    tsUpdateHiddenChildrenNeeded = 37,
    tsUpdating = 38,
    tsUseCache = 39,
    tsUserDragObject = 40,
    tsUseThemes = 41,
    tsValidating = 42,
    tsValidationNeeded = 43,
    tsFrameworkDragging = 44,
    tsFrameworkDragPending = 45,
    tsWheelPanning = 46,
    tsWheelScrolling = 47,
    tsWindowCreating = 48,
};

// A set of tree states as a value.
class TVirtualTreeStates {
public:
    constexpr TVirtualTreeStates() = default;
    constexpr TVirtualTreeStates(std::initializer_list<TreeState> states) {
        for (TreeState state : states)
            bits_ |= Bit(state);
    }
    static constexpr TVirtualTreeStates FromBits(std::uint64_t bits) {
        TVirtualTreeStates result;
        result.bits_ = bits;
        return result;
    }

    constexpr bool Has(TreeState state) const { return (bits_ & Bit(state)) != 0; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr std::uint64_t Bits() const { return bits_; }
    constexpr TVirtualTreeStates operator|(TVirtualTreeStates other) const {
        return FromBits(bits_ | other.bits_);
    }
    constexpr TVirtualTreeStates operator&(TVirtualTreeStates other) const {
        return FromBits(bits_ & other.bits_);
    }
    constexpr TVirtualTreeStates operator-(TVirtualTreeStates other) const {
        return FromBits(bits_ & ~other.bits_);
    }
    constexpr bool operator==(const TVirtualTreeStates&) const = default;

    static constexpr std::uint64_t Bit(TreeState state) {
        return std::uint64_t{1} << static_cast<int>(state);
    }

private:
    std::uint64_t bits_ = 0;
};

// The tree's own state set. Only the GUI thread writes it (through DoStateChange); the worker thread
// reads it, hence the atomic.
class StateSet {
public:
    TVirtualTreeStates Get() const {
        return TVirtualTreeStates::FromBits(bits_.load(std::memory_order_acquire));
    }
    bool Has(TreeState state) const { return Get().Has(state); }
    void Set(TVirtualTreeStates states) { bits_.store(states.Bits(), std::memory_order_release); }

private:
    std::atomic<std::uint64_t> bits_{0};
};

// A caller's programming error, with a fixed message.
class EVirtualTreeAssertion : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

// An error of the tree with its help context (2000 to 2008).
class EVirtualTreeError : public std::runtime_error {
public:
    EVirtualTreeError(int code, const std::string& message) : std::runtime_error(message), code_(code) {}
    int Code() const { return code_; }

private:
    int code_;
};

inline void TreeAssert(bool condition, const char* message) {
    if (!condition)
        throw EVirtualTreeAssertion(message);
}

} // namespace tarvola
