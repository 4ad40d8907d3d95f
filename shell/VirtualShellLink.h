// A shell link (.lnk) read through the shell: its target, arguments, description, working folder, icon,
// hot key and show command. Win32 sources only.
#pragma once

#include "shell/VirtualPIDLTools.h"
#include "shell/VirtualShellCom.h"

#include <shlobj.h>

namespace tarvola {

class TVirtualShellLink {
public:
    TVirtualShellLink() = default;
    TVirtualShellLink(const TVirtualShellLink&) = delete;
    TVirtualShellLink& operator=(const TVirtualShellLink&) = delete;
    ~TVirtualShellLink() { FreeTargetPIDL(); }

    // The link file to read.
    WideString FileName;

    // Reads the link file (only reading it: a read-only link reads too). False when the shell's link
    // object or the load fails; the fields then keep what they held.
    bool ReadLink();
    void FreeTargetPIDL();

    const WideString& TargetPath() const { return targetPath_; }
    const WideString& Arguments() const { return arguments_; }
    const WideString& Description() const { return description_; }
    const WideString& WorkingDirectory() const { return workingDirectory_; }
    const WideString& IconLocation() const { return iconLocation_; }
    int IconIndex() const { return iconIndex_; }
    // The target's absolute list, the link's own (nullptr when it has none).
    PCItemIDList TargetIDList() const { return targetPIDL_; }
    WORD HotKey() const { return hotKey_; }
    int ShowCmd() const { return showCmd_; }

private:
    TComPtr<IShellLinkW> link_;
    WideString targetPath_;
    WideString arguments_;
    WideString description_;
    WideString workingDirectory_;
    WideString iconLocation_;
    int iconIndex_ = 0;
    PItemIDList targetPIDL_ = nullptr;
    WORD hotKey_ = 0;
    int showCmd_ = 0;
};

} // namespace tarvola
