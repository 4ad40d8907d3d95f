// The orders in which the explorer views sort sibling shell items by a details column. Every order puts
// folders first and breaks its own ties by the shell's order of the names, so that a sort gives the same
// order each time. The items are reached through IShellSortItem: shell items on Windows, scripted items in
// native tests.
#pragma once

#include "shell/VirtualWideStrings.h"

#include <cstdint>

namespace tarvola {

// What the comparisons ask of a shell item.
class IShellSortItem {
public:
    virtual ~IShellSortItem() = default;
    // Whether the item has a parent folder that can order its children.
    virtual bool HasParentFolder() = 0;
    // The parent folder's order of this item and a sibling in column (negative, 0, positive); 0 when the
    // folder cannot tell.
    virtual int ShellOrder(int column, IShellSortItem& sibling) = 0;
    virtual bool Folder() = 0;
    virtual bool FileSystem() = 0;
    virtual std::uint64_t SizeOfFileInt64() = 0;
    virtual WideString NameNormal() = 0;
    virtual WideString NameParseAddress() = 0;
    virtual WideString FileType() = 0;
};

enum class TFileSort { fsFileType, fsFileExtension };

// A FILETIME as one number (100 ns units since 1601).
using TFileTime64 = std::uint64_t;

class TShellSortHelper {
public:
    virtual ~TShellSortHelper() = default;

    TFileSort FileSort = TFileSort::fsFileType;

    // The shell's order; a column other than the name whose items the shell finds equal is ordered by the
    // normal names in code-point order.
    virtual int CompareIDs(int column, IShellSortItem& ns1, IShellSortItem& ns2);
    // -1 when only ns1 is a folder, 1 when only ns2 is, else 0.
    virtual int CompareFoldersFirst(IShellSortItem& ns1, IShellSortItem& ns2);
    virtual int CompareSize(IShellSortItem& ns1, IShellSortItem& ns2);
    // The two items' times of the column being sorted.
    virtual int CompareFileTimes(TFileTime64 time1, TFileTime64 time2, IShellSortItem& ns1,
                                 IShellSortItem& ns2);
    virtual int CompareStrings(const WideString& s1, const WideString& s2, IShellSortItem& ns1,
                               IShellSortItem& ns2);
    virtual int CompareFileType(IShellSortItem& ns1, IShellSortItem& ns2);
};

} // namespace tarvola
