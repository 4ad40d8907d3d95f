#include "tests/tree/TreeScrollHeaderSupport.h"

#include "tree/Header.h"
#include "tree/VirtualTrees.h"

namespace tarvola::test {

void SetHeaderShown(TBaseVirtualTree& tree, bool shown, int height) {
    TVTHeader& header = tree.Header();
    header.SetHeight(height);
    header.SetOptions(shown ? header.Options() | hoVisible : header.Options() & ~hoVisible);
}

} // namespace tarvola::test
