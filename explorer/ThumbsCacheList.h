// The index of the central thumbnail cache folder, "CacheList.txt" in that folder: one line per browsed
// folder, "<folder ending in \>=<name of its cache file in the central folder>", kept sorted. The folder part
// runs to the line's last "\" and the file part follows the "=" after it, so an "=" in a folder's path is
// safe.
#pragma once

#include "explorer/ThumbsCache.h"
#include "shell/VirtualWideStringList.h"

namespace tarvola {

class TCacheList : public TWideStringList {
public:
    static constexpr char16_t IndexFileName[] = u"CacheList.txt";

    explicit TCacheList(IThumbsCacheFiles& files, const TWideTextServices& text = PlatformText());

    // Kept with a trailing "\"; empty means there is no central storage.
    const WideString& CentralFolder() const { return centralFolder_; }
    void SetCentralFolder(const WideString& folder);
    WideString IndexPath() const { return centralFolder_ + IndexFileName; }

    // The folder's cache file in the central folder; empty when it has none or there is no central folder.
    WideString FindCacheFileName(const WideString& folder) const;
    // The folder's cache file, given a new name (and a line) when it has none yet: its last path component
    // (a drive root's letter) cut before an "=", numbered when another folder's file has that name already.
    WideString MakeCacheFileName(const WideString& folder);
    // Removes the lines whose cache file is gone, and the lines of folders that are gone together with their
    // cache files. A folder that cannot be reached just now (a removed drive) loses its cache too; it is
    // made again when that folder is browsed.
    void PruneInvalid();
    // Deletes every listed cache file and the index, and empties the list.
    void DeleteAll();

    // The index of the central folder; an empty list when there is none.
    void Load();
    // Prunes, then writes the index whole. False when it cannot be written.
    bool Save();

    // The parts of a line: the folder up to and including its last "\", and what follows the "=" after it.
    static WideString FolderPart(const WideString& line);
    static WideString FilePart(const WideString& line);

private:
    int LineOf(const WideString& folder) const;

    IThumbsCacheFiles& files_;
    WideString centralFolder_;
};

} // namespace tarvola
