#include "shell/VirtualNamespaceSort.h"

namespace tarvola {

int TNamespaceSortItem::ShellOrder(int column, IShellSortItem& sibling) {
    auto* other = dynamic_cast<TNamespaceSortItem*>(&sibling);
    if (other == nullptr)
        return 0;
    // ComparePIDL orders the list it is given against the item it is asked of: this item against the
    // sibling is asked of the sibling.
    return other->item_.ComparePIDL(item_.RelativePIDL(), column);
}

} // namespace tarvola
