#include "shell/VirtualShellSort.h"

#include "shell/VirtualUtilities.h"

namespace tarvola {
namespace {

int Sign(int value) {
    return (value > 0) - (value < 0);
}

} // namespace

int TShellSortHelper::CompareIDs(int column, IShellSortItem& ns1, IShellSortItem& ns2) {
    if (!ns1.HasParentFolder())
        return 0;
    int result = Sign(ns1.ShellOrder(column, ns2));
    if (result == 0 && column >= 1)
        result = Sign(StrCompW(ns1.NameNormal().c_str(), ns2.NameNormal().c_str()));
    return result;
}

int TShellSortHelper::CompareFoldersFirst(IShellSortItem& ns1, IShellSortItem& ns2) {
    const bool folder1 = ns1.Folder();
    const bool folder2 = ns2.Folder();
    if (folder1 == folder2)
        return 0;
    return folder1 ? -1 : 1;
}

int TShellSortHelper::CompareSize(IShellSortItem& ns1, IShellSortItem& ns2) {
    if (const int folders = CompareFoldersFirst(ns1, ns2); folders != 0)
        return folders;
    const std::uint64_t size1 = ns1.SizeOfFileInt64();
    const std::uint64_t size2 = ns2.SizeOfFileInt64();
    if (size1 != size2)
        return size1 > size2 ? 1 : -1;
    return CompareIDs(0, ns1, ns2);
}

int TShellSortHelper::CompareFileTimes(TFileTime64 time1, TFileTime64 time2, IShellSortItem& ns1,
                                       IShellSortItem& ns2) {
    if (const int folders = CompareFoldersFirst(ns1, ns2); folders != 0)
        return folders;
    if (time1 != time2)
        return time1 > time2 ? 1 : -1;
    return CompareIDs(0, ns1, ns2);
}

int TShellSortHelper::CompareStrings(const WideString& s1, const WideString& s2, IShellSortItem& ns1,
                                     IShellSortItem& ns2) {
    if (const int folders = CompareFoldersFirst(ns1, ns2); folders != 0)
        return folders;
    if (const int order = Sign(StrCompW(s1.c_str(), s2.c_str())); order != 0)
        return order;
    return CompareIDs(0, ns1, ns2);
}

int TShellSortHelper::CompareFileType(IShellSortItem& ns1, IShellSortItem& ns2) {
    if (FileSort == TFileSort::fsFileType)
        return CompareStrings(ns1.FileType(), ns2.FileType(), ns1, ns2);
    if (const int folders = CompareFoldersFirst(ns1, ns2); folders != 0)
        return folders;
    if (!ns1.FileSystem() || !ns2.FileSystem())
        return 0;
    // CompareStrings breaks a tie of the extensions by the shell's order of the names.
    return CompareStrings(PathElementExtension(ns1.NameParseAddress()),
                          PathElementExtension(ns2.NameParseAddress()), ns1, ns2);
}

} // namespace tarvola
