// A recording shell port for the explorer tree's shell interaction: every verb the tree asks for is logged
// as "Verb item,item" (the first item is the one the verb runs on); the menu's choice, the rename's and
// the drop target's answers are scripted. Also a view host with a client area but no window, so that hit
// tests and display rectangles work without the tree's worker thread.
#pragma once

#include "tests/explorer/VirtualExplorerTreeFixture.h"
#include "tree/TreeViewHost.h"

#include <string>
#include <vector>

namespace tarvola::test {

class TRecordingShellPort : public IExplorerShellPort {
public:
    std::vector<std::string> Log;
    // The menu's command: its verb (empty: the user closes the menu) and whether it succeeds.
    std::string MenuVerb;
    bool MenuCommandSucceeds = true;
    bool RenameSucceeds = true;
    bool VerbsSucceed = true;
    // What the item's drop target answers to DragEnter and DragOver.
    std::uint32_t TargetEffect = 1;
    // The effect the last Drop was handed.
    std::uint32_t DroppedEffect = 0xFFFF;
    // Folders MakeDirectory makes (in the namespace).
    TMemoryNamespace* Namespace = nullptr;
    int ImageRefreshes = 0;

    static std::string Names(const TExplorerItems& items) {
        std::string text;
        for (IExplorerItem* item : items) {
            if (!text.empty())
                text += ",";
            text += Narrow(item->NameNormal());
        }
        return text;
    }
    bool Record(const std::string& verb, IExplorerItem& item, const TExplorerItems& items) {
        // Appended piece by piece: GCC 12 at -O3 for i686 misreads a "text" + string temporary here.
        std::string line = verb + " " + Narrow(item.NameNormal());
        if (!items.empty()) {
            line += ':';
            line += Names(items);
        }
        Log.push_back(line);
        return VerbsSucceed;
    }

    bool ShowContextMenu(IExplorerItem& item, const TExplorerItems& items, TTreeMousePoint,
                         bool removeShortcut, const TShellMenuRequest& request) override {
        Record(removeShortcut ? "Menu-nolink" : "Menu", item, items);
        bool allow = true;
        if (request.OnShow)
            request.OnShow(allow);
        if (!allow || MenuVerb.empty())
            return false;
        const WideString verb = Wide(MenuVerb);
        bool handled = false;
        if (request.OnCommand)
            request.OnCommand(verb, 7, handled);
        if (!handled)
            Log.push_back("Invoke " + MenuVerb);
        if (request.OnAfterCommand)
            request.OnAfterCommand(verb, 7, handled || MenuCommandSucceeds);
        return true;
    }
    bool Copy(IExplorerItem& item, const TExplorerItems& items) override {
        return Record("Copy", item, items);
    }
    bool Cut(IExplorerItem& item, const TExplorerItems& items) override { return Record("Cut", item, items); }
    bool Paste(IExplorerItem& item, const TExplorerItems& items) override {
        return Record("Paste", item, items);
    }
    bool Delete(IExplorerItem& item, const TExplorerItems& items) override {
        return Record("Delete", item, items);
    }
    bool ShowProperties(IExplorerItem& item, const TExplorerItems& items) override {
        return Record("Properties", item, items);
    }
    bool SetNameOf(IExplorerItem& item, const WideString& newName) override {
        Log.push_back("SetNameOf " + Narrow(item.NameNormal()) + " " + Narrow(newName));
        return RenameSucceeds;
    }
    bool Execute(IExplorerItem& item, const WideString&, const WideString&, bool execFolder,
                 bool execFolderShortcut) override {
        Log.push_back("Execute " + Narrow(item.NameNormal()) + (execFolder ? " folder" : "") +
                      (execFolderShortcut ? " shortcut" : ""));
        return true;
    }
    bool MakeDirectory(const WideString& path) override {
        Log.push_back("MakeDirectory " + Narrow(path));
        if (Namespace == nullptr)
            return false;
        Namespace->Add(Narrow(path) + "\\");
        return true;
    }
    std::int32_t DragEnter(IExplorerItem& item, IDataObject*, std::uint32_t, TTreeMousePoint,
                           std::uint32_t& effect) override {
        Log.push_back("DragEnter " + Narrow(item.NameNormal()));
        effect = TargetEffect;
        return 0;
    }
    std::int32_t DragOver(IExplorerItem& item, std::uint32_t, TTreeMousePoint,
                          std::uint32_t& effect) override {
        Log.push_back("DragOver " + Narrow(item.NameNormal()));
        effect = TargetEffect;
        return 0;
    }
    std::int32_t DragLeave(IExplorerItem& item) override {
        Log.push_back("DragLeave " + Narrow(item.NameNormal()));
        return 0;
    }
    std::int32_t Drop(IExplorerItem& item, IDataObject*, std::uint32_t, TTreeMousePoint,
                      std::uint32_t& effect) override {
        Log.push_back("Drop " + Narrow(item.NameNormal()));
        DroppedEffect = effect;
        return 0;
    }
    void Beep() override { Log.push_back("Beep"); }
    void RefreshSystemImages() override { ++ImageRefreshes; }
    void Revalidate(IExplorerItem& item) override {
        Log.push_back("Revalidate " + Narrow(item.NameNormal()));
    }
    bool IsRemoteDrive(const WideString&) override { return false; }
    std::optional<WideString> ShortcutTarget(IExplorerItem& item) override {
        const TMemoryEntry* entry = Namespace != nullptr ? Namespace->Find(item.AbsolutePIDL()) : nullptr;
        if (entry == nullptr || entry->LinkTarget.empty())
            return std::nullopt;
        return Wide(entry->LinkTarget);
    }
};

// A client area of 300 x 400 without a window.
class TClientAreaHost : public NullTreeViewHost {
public:
    int ClientWidth() const override { return 300; }
    int ClientHeight() const override { return 400; }
};

// The explorer tree with its editor start recorded (the editor itself needs a window).
class TEditRecordingTree : public TVirtualExplorerTree {
public:
    using TVirtualExplorerTree::TVirtualExplorerTree;
    std::vector<PVirtualNode> Edited;
    bool KeyAction(std::uint16_t& key, TKeyModifiers& shift) { return DoKeyAction(key, shift); }
    void NewText(PVirtualNode node, TColumnIndex column, const std::wstring& text) {
        DoNewText(node, column, text);
    }
    bool EditNode(PVirtualNode node, TColumnIndex) override {
        Edited.push_back(node);
        return true;
    }
};

} // namespace tarvola::test
