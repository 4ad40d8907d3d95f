// In-place editing: the editor interface the tree drives (IVTEditLink), and the pure rules an editor
// follows, where it sits over its cell and what the keys do while it runs. The tree's side of the protocol
// (CanEdit, EditNode, StartEditing, DoEndEdit, DoCancelEdit) lives in EditSession.cpp.
#pragma once

#include "tree/Columns.h"
#include "tree/VirtualTrees.h"

#include <cstdint>

namespace tarvola {

// The identity of the editor interface, for COM callers that ask for it by GUID.
struct TEditLinkGuid {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];
};
inline constexpr TEditLinkGuid IID_IVTEditLink{
    0x2BE3EAFA, 0x5ACB, 0x45B4, {0x9D, 0x9A, 0xB5, 0x8B, 0xCC, 0x49, 0x6E, 0x17}};

// An editor the tree places over a cell. The tree holds it from StartEditing until the edit ends or is
// cancelled; every answer of false refuses the step asked for.
class IVTEditLink {
public:
    virtual ~IVTEditLink() = default;
    // Shows and focuses the editor.
    virtual bool BeginEdit() = 0;
    // Discards the edit.
    virtual bool CancelEdit() = 0;
    // Accepts the edit.
    virtual bool EndEdit() = 0;
    // Sets the editor up for a cell; false refuses the edit.
    virtual bool PrepareEdit(TBaseVirtualTree& tree, PVirtualNode node, TColumnIndex column) = 0;
    virtual TTreeRect GetBounds() const = 0;
    // Passes a window message to the editor.
    virtual void ProcessMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
    virtual void SetBounds(TTreeRect bounds) = 0;
};

constexpr std::uint32_t DefaultEditDelay = 1000;
constexpr int MinimumEditorWidth = 30;

// Where an editor for a cell of the given bounds goes: never left of the client area, at least
// MinimumEditorWidth wide (growing to the left for a right-justified cell, to the right otherwise) and
// never right of the client width.
TTreeRect EditorBounds(TTreeRect bounds, TAlignment alignment, int clientWidth);

// Virtual keys the editor's key table knows.
enum : unsigned {
    EditVkTab = 0x09,
    EditVkReturn = 0x0D,
    EditVkEscape = 0x1B,
    EditVkLeft = 0x25,
    EditVkUp = 0x26,
    EditVkRight = 0x27,
    EditVkDown = 0x28,
};

enum class TEditKeyAction : std::uint8_t {
    PassOn,     // the edit control handles Key
    EndEdit,    // the edit is accepted and the tree takes the focus
    CancelEdit, // the edit is discarded and the tree takes the focus
};

struct TEditKeyResult {
    TEditKeyAction Action = TEditKeyAction::PassOn;
    unsigned Key = 0;
    bool operator==(const TEditKeyResult&) const = default;
};

// What a key press does in the editor. Enter ends a single-line edit and, with Ctrl, a multiline one (a
// plain Enter there starts a new line); Escape cancels; on a single line Up and Down move the caret as Left
// and Right do.
TEditKeyResult EditKeyDown(unsigned key, bool ctrl, bool multiline);
// Characters the editor never inserts: Tab and Escape.
bool EditCharSwallowed(wchar_t ch);

} // namespace tarvola
