// The tree unit's errors: EVirtualTreeError (TreeTypes.h) carries a message and one of these codes as its
// help context. One routine raises them, so that a code always travels with its own text.
#pragma once

namespace tarvola {

enum TVirtualTreeErrorCode : int {
    vteEditLinkNil = 2000,
    vteMoveIntoOwnSubtree = 2001,
    vteStreamFormat = 2002,
    vteStreamVersion = 2003,
    vteStreamTooShort = 2004,
    vteStreamNodeMissing = 2005,
    vteStreamDataAfterNode = 2006,
    vteClipboardFailed = 2007,
    vteUserDataTooSmall = 2008,
};

// The message of a code; nullptr for a number outside the table.
const char* VirtualTreeErrorMessage(int code);

// Raises EVirtualTreeError with the code and its message.
[[noreturn]] void RaiseVirtualTreeError(TVirtualTreeErrorCode code);

} // namespace tarvola
