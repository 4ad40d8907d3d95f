#include "shell/VirtualNamesInFolder.h"

#include <map>
#include <utility>

namespace tarvola {

namespace {

enum class TExtensionRule { Shown, Hidden, AskEach };

WideString WithoutExtension(const WideString& fileName) {
    return fileName.substr(0, ExtensionStart(fileName));
}

TExtensionRule RuleOf(const WideString& fileName, const WideString& shellName) {
    if (shellName == fileName)
        return TExtensionRule::Shown;
    if (!shellName.empty() && shellName == WithoutExtension(fileName))
        return TExtensionRule::Hidden;
    return TExtensionRule::AskEach;
}

} // namespace

std::size_t ExtensionStart(std::u16string_view fileName) {
    std::size_t start = fileName.size();
    for (std::size_t i = 0; i < fileName.size(); ++i) {
        if (fileName[i] == u'.')
            start = i;
        else if (fileName[i] == u' ' || fileName[i] == u'\\')
            start = fileName.size();
    }
    return start;
}

std::vector<WideString> NamesInFolder(std::span<const TInFolderNameRequest> items,
                                      const std::function<WideString(std::size_t)>& shellName) {
    // Extensions are told apart exactly as written: a kind that differs in case only is asked once more.
    std::map<std::pair<bool, WideString>, TExtensionRule> rules;
    std::vector<WideString> names;
    names.reserve(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        const TInFolderNameRequest& item = items[i];
        // A name that is all extension is not known to lose it like its kind's others.
        if (ExtensionStart(item.fileName) == 0) {
            names.push_back(shellName(i));
            continue;
        }
        const WideString extension = item.fileName.substr(ExtensionStart(item.fileName));
        const auto [found, unknown] = rules.try_emplace({item.folder, extension}, TExtensionRule::AskEach);
        if (unknown) {
            names.push_back(shellName(i));
            found->second = RuleOf(item.fileName, names.back());
            continue;
        }
        switch (found->second) {
        case TExtensionRule::Shown:
            names.push_back(item.fileName);
            break;
        case TExtensionRule::Hidden:
            names.push_back(WithoutExtension(item.fileName));
            break;
        case TExtensionRule::AskEach:
            names.push_back(shellName(i));
            break;
        }
    }
    return names;
}

} // namespace tarvola
