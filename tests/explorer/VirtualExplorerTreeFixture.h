// An in-memory namespace for the explorer tree's tests: folders and files under the desktop, named by
// paths like "\presets\a.ker", each item's list a record per name. It lists a folder's children in the
// reverse of their creation (so nothing comes out sorted by accident), orders them as a file-system
// folder does (folders first, then names without regard to case), and can be told to fail its
// comparisons. It counts enumerations per folder and the icon requests of a fake icon thread.
#pragma once

#include "explorer/VirtualExplorerTree.h"
#include "tests/explorer/ExplorerStateFixture.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tarvola::test {

struct TMemoryEntry {
    std::string Name;
    bool Folder = false;
    bool Hidden = false;
    bool RecycleBin = false;
    std::uint64_t Size = 0;
    std::vector<std::unique_ptr<TMemoryEntry>> Children; // in creation order
    // A shortcut's target path (empty: not a shortcut).
    std::string LinkTarget;
    // As a folder: its detail columns (title and shell state), and the kind its default widths follow.
    struct TColumn {
        std::string Title;
        TDetailsColumnStates State;
    };
    std::vector<TColumn> Columns;
    TColumnFolderKind ColumnKind = TColumnFolderKind::General;
    bool Compressed = false;
    // The last write time as the shell's details show it.
    std::string Modified;
};

inline std::vector<std::string> SplitPath(const std::string& path) {
    std::vector<std::string> names;
    std::string name;
    for (char c : path) {
        if (c == '\\') {
            if (!name.empty())
                names.push_back(name);
            name.clear();
        } else {
            name.push_back(c);
        }
    }
    if (!name.empty())
        names.push_back(name);
    return names;
}

inline TItemIDList ListOf(const std::vector<std::string>& names) {
    TItemIDList list;
    for (const std::string& name : names)
        list = list.Append(Item(name));
    return list;
}

inline WideString Wide(const std::string& text) {
    return WideString(text.begin(), text.end());
}

inline std::string Narrow(const WideString& text) {
    return std::string(text.begin(), text.end());
}

class TMemoryNamespace : public IExplorerNamespace, public IStateShell {
public:
    TMemoryNamespace() { Desktop.Folder = true; }

    TMemoryEntry Desktop;
    bool FailCompare = false;
    // Drive letters without a medium.
    std::u16string EmptyDrives;
    std::map<std::string, int> Enumerations; // by folder path ("" for the desktop)
    // Folders hand out watches, which every Add and Remove anywhere wakes.
    bool Watches = false;
    std::uint64_t Changes = 0;

    // Adds a folder or file (and the folders on its way); a trailing backslash makes a folder.
    TMemoryEntry& Add(const std::string& path, std::uint64_t size = 0, bool hidden = false) {
        const std::vector<std::string> names = SplitPath(path);
        TMemoryEntry* entry = &Desktop;
        for (std::size_t i = 0; i < names.size(); ++i) {
            TMemoryEntry* next = Child(*entry, names[i]);
            if (next == nullptr) {
                entry->Children.push_back(std::make_unique<TMemoryEntry>());
                next = entry->Children.back().get();
                next->Name = names[i];
                next->Folder = i + 1 < names.size() || path.back() == '\\';
            }
            entry = next;
        }
        entry->Size = size;
        entry->Hidden = hidden;
        ++Changes;
        return *entry;
    }
    void Remove(const std::string& path) {
        const std::vector<std::string> names = SplitPath(path);
        TMemoryEntry* parent = Find(ListOf(std::vector<std::string>(names.begin(), names.end() - 1)));
        auto& children = parent->Children;
        for (auto it = children.begin(); it != children.end(); ++it) {
            if ((*it)->Name == names.back()) {
                children.erase(it);
                ++Changes;
                return;
            }
        }
    }

    static TMemoryEntry* Child(TMemoryEntry& entry, const std::string& name) {
        for (auto& child : entry.Children)
            if (child->Name == name)
                return child.get();
        return nullptr;
    }
    TMemoryEntry* Find(const TItemIDList& pidl) {
        TMemoryEntry* entry = &Desktop;
        TItemIDList rest = pidl;
        std::vector<std::string> names;
        for (TItemIDList level = pidl; !level.IsDesktop(); level = level.Parent())
            names.insert(names.begin(), NameOf(level.LastItem()));
        for (const std::string& name : names) {
            entry = Child(*entry, name);
            if (entry == nullptr)
                return nullptr;
        }
        return entry;
    }
    static std::string PathOf(const TItemIDList& pidl) {
        std::vector<std::string> names;
        for (TItemIDList level = pidl; !level.IsDesktop(); level = level.Parent())
            names.push_back(NameOf(level.LastItem()));
        std::string path;
        for (auto name = names.rbegin(); name != names.rend(); ++name) {
            path.push_back('\\');
            path.append(*name);
        }
        return path;
    }

    // Folders first, then names without regard to case, then by bytes.
    std::optional<int> Order(const TItemIDList& folder, const TItemIDList& a, const TItemIDList& b) {
        if (FailCompare)
            return std::nullopt;
        TMemoryEntry* first = Find(folder.Append(a));
        TMemoryEntry* second = Find(folder.Append(b));
        const bool folder1 = first != nullptr && first->Folder;
        const bool folder2 = second != nullptr && second->Folder;
        if (folder1 != folder2)
            return folder1 ? -1 : 1;
        const int order = PlatformText().CompareText(Wide(NameOf(a)), Wide(NameOf(b)));
        if (order != 0)
            return order;
        return NameOf(a).compare(NameOf(b));
    }

    // --- IExplorerNamespace
    TExplorerItemPtr SpecialFolder(int csidl) override;
    TExplorerItemPtr ItemFromPath(const WideString& path) override {
        const TItemIDList pidl = ListOf(SplitPath(Narrow(path)));
        return Find(pidl) != nullptr ? ItemFromPIDL(pidl) : nullptr;
    }
    TExplorerItemPtr ItemFromPIDL(const TItemIDList& pidl) override;
    bool DirectoryExists(const WideString& path) override {
        const TMemoryEntry* entry = Find(ListOf(SplitPath(Narrow(path))));
        return entry != nullptr && entry->Folder;
    }
    bool SameItem(const TItemIDList& a, const TItemIDList& b) override { return a == b; }
    bool DiskInDrive(char16_t letter) override { return EmptyDrives.find(letter) == std::u16string::npos; }
    IStateShell& StateShell() override { return *this; }
    // Told how many items the explorer asks names of together, when a test listens.
    std::function<void(std::size_t)> OnPrepareNames;
    void PrepareNamesInFolder(std::span<IExplorerItem* const> items) override {
        if (OnPrepareNames)
            OnPrepareNames(items.size());
    }

    // --- IStateShell
    std::optional<int> CompareIDs(const TItemIDList& folder, const TItemIDList& a,
                                  const TItemIDList& b) override {
        return Order(folder, a, b);
    }
    bool ItemExists(const TItemIDList& pidl) override { return Find(pidl) != nullptr; }
};

class TMemoryItem : public IExplorerItem {
public:
    TMemoryItem(TMemoryNamespace& ns, TItemIDList pidl)
        : ns_(ns), pidl_(std::move(pidl)), relative_(pidl_.LastItem()) {}

    const TItemIDList& AbsolutePIDL() const override { return pidl_; }
    const TItemIDList& RelativePIDL() const override { return relative_; }
    TExplorerItemPtr Clone() const override { return std::make_unique<TMemoryItem>(ns_, pidl_); }
    bool Folder() override { return Entry() != nullptr && Entry()->Folder; }
    bool FileSystem() override { return !pidl_.IsDesktop(); }
    bool IsRecycleBin() override { return Entry() != nullptr && Entry()->RecycleBin; }
    bool Ghosted() override { return Entry() != nullptr && Entry()->Hidden; }
    bool Link() override { return Entry() != nullptr && !Entry()->LinkTarget.empty(); }
    bool Share() override { return false; }
    bool HasSubFolder() override { return false; }
    bool HasChildrenOfKind(std::uint32_t flags) override { return !Listed(flags).empty(); }
    TFolderEnumeration Enumerate(std::uint32_t flags) override {
        ++ns_.Enumerations[TMemoryNamespace::PathOf(pidl_)];
        TFolderEnumeration result;
        TMemoryEntry* entry = Entry();
        if (entry == nullptr || !entry->Folder) {
            result.Outcome = TEnumerationOutcome::Failed;
            return result;
        }
        for (TMemoryEntry* child : Listed(flags))
            result.Children.push_back(std::make_unique<TMemoryItem>(ns_, pidl_.Append(Item(child->Name))));
        result.Outcome = result.Children.empty() ? TEnumerationOutcome::Empty : TEnumerationOutcome::Items;
        return result;
    }
    std::optional<int> CompareChildren(int, const TItemIDList& a, const TItemIDList& b) override {
        return ns_.Order(pidl_, a, b);
    }
    TListingWatchPtr WatchListing() override {
        class TWatch : public IListingWatch {
        public:
            explicit TWatch(TMemoryNamespace& ns) : ns_(ns), changes_(ns.Changes) {}
            bool Quiet() override { return ns_.Changes == changes_; }

        private:
            TMemoryNamespace& ns_;
            std::uint64_t changes_;
        };
        return ns_.Watches && Folder() ? std::make_unique<TWatch>(ns_) : nullptr;
    }
    WideString NameNormal() override {
        return Wide(pidl_.IsDesktop() ? "Desktop" : NameOf(pidl_.LastItem()));
    }
    WideString NameInFolder() override { return NameNormal(); }
    WideString NameForParsing() override { return Wide(TMemoryNamespace::PathOf(pidl_)); }
    // A drive's root reads "X:\\" as the shell gives it.
    WideString NameParseAddressInFolder() override {
        WideString name = NameNormal();
        if (name.size() == 2 && name[1] == u':')
            name.push_back(u'\\');
        return name;
    }
    WideString DetailText(TColumnDetails kind, TFileSizeFormat format) override {
        if (kind == TColumnDetails::cdModified && Entry() != nullptr)
            return Wide(Entry()->Modified);
        if (kind != TColumnDetails::cdSize || Entry() == nullptr || Entry()->Folder)
            return {};
        const std::uint64_t size = Entry()->Size;
        if (format == TFileSizeFormat::fsfActual)
            return Wide(std::to_string(size));
        std::string text = std::to_string((size + 1023) / 1024);
        text.append(" KB");
        return Wide(text);
    }
    WideString DetailsOf(int) override { return {}; }
    int DetailsColumnCount() override {
        return Entry() != nullptr ? static_cast<int>(Entry()->Columns.size()) : 0;
    }
    WideString DetailsColumnTitle(int column) override { return Wide(Column(column).Title); }
    TDetailsColumnStates DetailsColumnState(int column) override { return Column(column).State; }
    TColumnFolderKind ColumnFolderKind() override {
        return Entry() != nullptr ? Entry()->ColumnKind : TColumnFolderKind::General;
    }
    bool Compressed() override { return Entry() != nullptr && Entry()->Compressed; }
    bool Hidden() override { return Entry() != nullptr && Entry()->Hidden; }
    int IconIndex(bool open, bool) override { return Folder() ? (open ? 4 : 3) : 7; }
    std::optional<int> OverlayIndex() override { return std::nullopt; }
    void Invalidate(bool) override {}

private:
    TMemoryEntry* Entry() { return ns_.Find(pidl_); }
    TMemoryEntry::TColumn Column(int column) {
        TMemoryEntry* entry = Entry();
        if (entry == nullptr || column < 0 || column >= static_cast<int>(entry->Columns.size()))
            return {};
        return entry->Columns[static_cast<std::size_t>(column)];
    }
    std::vector<TMemoryEntry*> Listed(std::uint32_t flags) {
        std::vector<TMemoryEntry*> listed;
        TMemoryEntry* entry = Entry();
        if (entry == nullptr)
            return listed;
        for (auto it = entry->Children.rbegin(); it != entry->Children.rend(); ++it) {
            TMemoryEntry& child = **it;
            const bool kind = child.Folder ? (flags & kEnumFolders) != 0 : (flags & kEnumNonFolders) != 0;
            if (kind && (!child.Hidden || (flags & kEnumHidden) != 0))
                listed.push_back(&child);
        }
        return listed;
    }

    TMemoryNamespace& ns_;
    TItemIDList pidl_;
    TItemIDList relative_;
};

inline TExplorerItemPtr TMemoryNamespace::SpecialFolder(int csidl) {
    return csidl == 0 ? std::make_unique<TMemoryItem>(*this, TItemIDList()) : nullptr;
}

inline TExplorerItemPtr TMemoryNamespace::ItemFromPIDL(const TItemIDList& pidl) {
    return std::make_unique<TMemoryItem>(*this, pidl);
}

// An icon thread that only records: requests get ids, withdrawals are noted.
class TRecordingIconPort : public IExplorerIconPort {
public:
    struct TRequest {
        const void* Node;
        std::uint64_t Id;
    };
    std::vector<TRequest> Requests;
    int Withdrawn = 0;

    std::optional<std::uint64_t> RequestIcon(const void* node, const TItemIDList&, bool) override {
        Requests.push_back({node, ++lastId_});
        return lastId_;
    }
    void WithdrawIcon(const void*) override { ++Withdrawn; }
    void WithdrawAllIcons() override { ++Withdrawn; }
    int Placeholder(bool fileSystemFolder) const override { return fileSystemFolder ? 0 : 2; }

private:
    std::uint64_t lastId_ = 0;
};

// The names of a node's children as the tree shows them.
inline std::vector<std::string> ChildNames(TCustomVirtualExplorerTree& tree, PVirtualNode node) {
    std::vector<std::string> names;
    for (PVirtualNode child = tree.GetFirstChild(node); child != nullptr;
         child = tree.GetNextSibling(child)) {
        std::string name;
        for (wchar_t c : tree.GetText(child, NoColumn))
            name.push_back(static_cast<char>(c));
        names.push_back(name);
    }
    return names;
}

inline PVirtualNode ChildNamed(TCustomVirtualExplorerTree& tree, PVirtualNode node, const std::string& name) {
    for (PVirtualNode child = tree.GetFirstChild(node); child != nullptr; child = tree.GetNextSibling(child))
        if (Narrow(tree.NodeItem(child)->NameNormal()) == name)
            return child;
    return nullptr;
}

} // namespace tarvola::test
