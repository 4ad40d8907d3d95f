#include "shell/VirtualShellLink.h"

#include "shell/VirtualPIDLToolsShell.h"
#include "shell/VirtualUnicodeDefines.h"

#include <array>

namespace tarvola {

namespace {

// Longer than a path: arguments and descriptions may run to the shell's info-tip size.
constexpr int kLinkTextLength = 1024;

template <typename Getter>
WideString LinkText(Getter get) {
    std::array<wchar_t, kLinkTextLength + 1> text{};
    if (FAILED(get(text.data(), kLinkTextLength)))
        return {};
    text[kLinkTextLength] = 0;
    return FromW(text.data());
}

} // namespace

void TVirtualShellLink::FreeTargetPIDL() {
    CoTaskMemFree(targetPIDL_);
    targetPIDL_ = nullptr;
}

bool TVirtualShellLink::ReadLink() {
    if (!link_ && FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                          link_.PutVoid()))) {
        link_.Reset();
        return false;
    }
    const TComPtr<IPersistFile> file = link_.As<IPersistFile>(IID_IPersistFile);
    if (!file || FAILED(file->Load(AsW(FileName), STGM_READ)))
        return false;

    IShellLinkW& link = *link_.Get();
    targetPath_ = LinkText([&](wchar_t* text, int length) {
        return link.GetPath(text, std::min(length, MAX_PATH), nullptr, SLGP_UNCPRIORITY);
    });
    arguments_ = LinkText([&](wchar_t* text, int length) { return link.GetArguments(text, length); });
    description_ = LinkText([&](wchar_t* text, int length) { return link.GetDescription(text, length); });
    workingDirectory_ =
        LinkText([&](wchar_t* text, int length) { return link.GetWorkingDirectory(text, length); });
    int iconIndex = 0;
    iconLocation_ =
        LinkText([&](wchar_t* text, int length) { return link.GetIconLocation(text, length, &iconIndex); });
    iconIndex_ = iconIndex;
    FreeTargetPIDL();
    LPITEMIDLIST target = nullptr;
    if (SUCCEEDED(link.GetIDList(&target)))
        targetPIDL_ = FromItemIDList(target);
    if (FAILED(link.GetHotkey(&hotKey_)))
        hotKey_ = 0;
    if (FAILED(link.GetShowCmd(&showCmd_)))
        showCmd_ = 0;
    return true;
}

} // namespace tarvola
