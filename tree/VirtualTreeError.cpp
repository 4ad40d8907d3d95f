// The message table of the tree unit's errors.
#include "tree/VirtualTreeError.h"

#include "tree/TreeTypes.h"

namespace tarvola {

const char* VirtualTreeErrorMessage(int code) {
    switch (code) {
    case vteEditLinkNil:
        return "Edit link must not be nil.";
    case vteMoveIntoOwnSubtree:
        return "Target node cannot be a child node of the node to be moved.";
    case vteStreamFormat:
        return "Unable to load tree structure, the format is wrong.";
    case vteStreamVersion:
        return "Unable to load tree structure, the version is unknown.";
    case vteStreamTooShort:
        return "Unable to load tree structure, not enough data available.";
    case vteStreamNodeMissing:
        return "Stream data corrupt. A node's anchor chunk is missing.";
    case vteStreamDataAfterNode:
        return "Stream data corrupt. Unexpected data after node's end position.";
    case vteClipboardFailed:
        return "Clipboard operation failed.";
    case vteUserDataTooSmall:
        return "Cannot set initial user data because there is not enough user data space allocated.";
    }
    return nullptr;
}

void RaiseVirtualTreeError(TVirtualTreeErrorCode code) {
    throw EVirtualTreeError(code, VirtualTreeErrorMessage(code));
}

} // namespace tarvola
