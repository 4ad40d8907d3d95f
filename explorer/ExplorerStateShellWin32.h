// The saved state's and the refresh's shell seam over the real shell: folders bound from the desktop,
// CompareIDs and GetAttributesOf with validation (and, for file-system items, the file itself, since Wine
// validates nothing). Windows only; used on the GUI thread.
#pragma once

#include "explorer/ExplorerStateShell.h"
#include "shell/VirtualShellCom.h"

#include <shlobj.h>

namespace tarvola {

class TShellStateShell final : public IStateShell {
public:
    std::optional<int> CompareIDs(const TItemIDList& folderPIDL, const TItemIDList& a,
                                  const TItemIDList& b) override;
    bool ItemExists(const TItemIDList& absolutePIDL) override;

private:
    // The folder of the list (the desktop's own for the desktop); empty when it cannot be bound. The last
    // one is kept: a sort asks the same folder many times.
    IShellFolder* Folder(const TItemIDList& pidl);

    TComPtr<IShellFolder> desktop_;
    TItemIDList lastPIDL_;
    TComPtr<IShellFolder> lastFolder_;
};

} // namespace tarvola
