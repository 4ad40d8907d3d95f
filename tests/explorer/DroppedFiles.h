// The file names a data object carries as dropped files (CF_HDROP), without their folders: what the drag
// tests check a drag out of the explorer views offers.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <filesystem>
#include <string>
#include <vector>

namespace tarvola::test {

inline std::vector<std::wstring> DroppedFileNames(IDataObject* data) {
    std::vector<std::wstring> names;
    FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    if (data->GetData(&format, &medium) != S_OK)
        return names;
    auto drop = static_cast<HDROP>(medium.hGlobal);
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        wchar_t name[MAX_PATH] = L"";
        DragQueryFileW(drop, i, name, MAX_PATH);
        names.push_back(std::filesystem::path(name).filename().wstring());
    }
    ReleaseStgMedium(&medium);
    return names;
}

} // namespace tarvola::test
