// TVirtualShellAutoComplete: the paths a path edit may offer while the user types: the children of the
// current folder and, when asked for, of the desktop, Favorites and My Computer. Win32 only.
#pragma once

#include "shell/VirtualNamespace.h"
#include "shell/VirtualShellUtilities.h"
#include "shell/VirtualWideStringList.h"

#include <functional>

namespace tarvola {

enum class TAutoCompleteContent : std::uint16_t {
    accCurrentDir = 1 << 0,
    accMyComputer = 1 << 1,
    accDesktop = 1 << 2,
    accFavorites = 1 << 3,
    accFileSysOnly = 1 << 4,
    accFileSysDirs = 1 << 5,
    accFileSysFiles = 1 << 6,
    accHidden = 1 << 7,
    accRecursive = 1 << 8,
    accSortList = 1 << 9,
};

class TAutoCompleteContents {
public:
    constexpr TAutoCompleteContents() = default;
    constexpr TAutoCompleteContents(std::initializer_list<TAutoCompleteContent> contents) {
        for (const TAutoCompleteContent c : contents)
            bits_ |= static_cast<std::uint16_t>(c);
    }
    constexpr bool Has(TAutoCompleteContent c) const { return bits_ & static_cast<std::uint16_t>(c); }
    friend bool operator==(TAutoCompleteContents, TAutoCompleteContents) = default;

private:
    std::uint16_t bits_ = 0;
};

class TVirtualShellAutoComplete {
public:
    // Called for every item found: clear allow to leave it out, set terminate to stop the search.
    using TAddItemEvent = std::function<void(TVirtualShellAutoComplete& sender, TNamespace& item, bool& allow,
                                             bool& terminate)>;

    TVirtualShellAutoComplete();

    const WideString& CurrentDir() const { return currentDir_; }
    // Taken only when it differs and names an existing folder.
    void SetCurrentDir(const WideString& folder);
    TAutoCompleteContents Contents() const { return contents_; }
    void SetContents(TAutoCompleteContents contents);

    // Collects the items again when the folder or the contents changed since the last time.
    void Refresh();
    // The parse-address names of the collected items (sorted with accSortList), after a Refresh.
    const TWideStringList& Strings();
    // The collected items; the list owns them.
    const TVirtualNameSpaceList& Items() const { return items_; }

    TAddItemEvent OnAutoCompleteAddItem;

private:
    // False when the search is to stop.
    bool Collect(TNamespace& folder);
    bool Consider(std::unique_ptr<TNamespace> item);

    WideString currentDir_;
    TAutoCompleteContents contents_;
    bool dirty_ = true;
    TWideStringList strings_;
    // The current folder the items were found in: they ask their questions through it.
    std::unique_ptr<TNamespace> currentFolder_;
    TVirtualNameSpaceList items_;
};

} // namespace tarvola
