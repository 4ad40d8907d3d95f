// Shell items as the sort helper sees them. Windows only.
#pragma once

#include "shell/VirtualNamespace.h"
#include "shell/VirtualShellSort.h"

namespace tarvola {

// Wraps an item for the length of a sort; the item must outlive it. Siblings are wrapped alike.
class TNamespaceSortItem final : public IShellSortItem {
public:
    explicit TNamespaceSortItem(TNamespace& item) : item_(item) {}

    TNamespace& Item() const { return item_; }

    bool HasParentFolder() override { return item_.ParentShellFolder() != nullptr; }
    // 0 for a sibling that is not a shell item.
    int ShellOrder(int column, IShellSortItem& sibling) override;
    bool Folder() override { return item_.Folder(); }
    bool FileSystem() override { return item_.FileSystem(); }
    std::uint64_t SizeOfFileInt64() override { return item_.SizeOfFileInt64(); }
    WideString NameNormal() override { return item_.NameNormal(); }
    WideString NameParseAddress() override { return item_.NameParseAddress(); }
    WideString FileType() override { return item_.FileType(); }

private:
    TNamespace& item_;
};

inline TFileTime64 FileTime64(const FILETIME& time) {
    return (static_cast<TFileTime64>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

} // namespace tarvola
