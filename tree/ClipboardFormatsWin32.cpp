// Platform ids for the clipboard format registry.
#include "tree/ClipboardFormatsWin32.h"

#include <array>

namespace tarvola {

FORMATETC ToFORMATETC(const TFormatEtc& format) {
    FORMATETC result{};
    result.cfFormat = format.cfFormat;
    result.ptd = nullptr;
    result.dwAspect = format.dwAspect;
    result.lindex = format.lindex;
    result.tymed = format.tymed;
    return result;
}

TFormatEtc FromFORMATETC(const FORMATETC& format) {
    TFormatEtc result;
    result.cfFormat = format.cfFormat;
    result.dwAspect = format.dwAspect;
    result.lindex = format.lindex;
    result.tymed = format.tymed;
    return result;
}

namespace {

CLIPFORMAT RegisterName(const std::string& name) {
    return static_cast<CLIPFORMAT>(RegisterClipboardFormatA(name.c_str()));
}

} // namespace

const TTreeFormatIds& TreeFormatIds() {
    static const TTreeFormatIds ids = [] {
        TTreeFormatIds result{};
        result.Reference = RegisterDefaultTreeFormats(TClipboardFormatList::Global(), RegisterName);
        std::uint16_t data = 0;
        TClipboardFormatList::Global().FindFormatByName(VirtualTreeDataFormatName, data);
        result.Data = data;
        return result;
    }();
    return ids;
}

CLIPFORMAT RegisterTreeClipboardFormat(const std::string& description, const TTreeClass& treeClass,
                                       std::uint32_t priority, DWORD tymed, DWORD aspect, LONG lindex) {
    TreeFormatIds();
    TFormatEtc format;
    format.cfFormat = RegisterName(description);
    format.tymed = tymed;
    format.dwAspect = aspect;
    format.lindex = lindex;
    TClipboardFormatList::Global().Add(description, treeClass, priority, format);
    return format.cfFormat;
}

bool RegisterTreeClipboardFormat(CLIPFORMAT id, const TTreeClass& treeClass, std::uint32_t priority) {
    TreeFormatIds();
    std::string description;
    if (id < 17) {
        description = StandardFormatDescription(id);
        if (description.empty())
            return false;
    } else {
        std::array<char, 2048> name{};
        const int length = GetClipboardFormatNameA(id, name.data(), static_cast<int>(name.size()));
        description.assign(name.data(), static_cast<std::size_t>(std::max(length, 0)));
    }
    TFormatEtc format;
    format.cfFormat = id;
    TClipboardFormatList::Global().Add(description, treeClass, priority, format);
    return true;
}

} // namespace tarvola
