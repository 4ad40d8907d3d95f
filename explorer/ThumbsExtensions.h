// TExtensionsList: the file extensions that decide which files get thumbnails and which highlight colour an
// item gets, kept sorted as ".ext" in lower case (a missing "." is added, both when adding and when
// searching), each with an optional colour.
#pragma once

#include "shell/VirtualWideStringList.h"

#include <cstdint>

namespace tarvola {

class TExtensionsList {
public:
    // What GetColor answers for an extension without a colour.
    static constexpr std::uint32_t NoColor = 0x1FFFFFFF;

    explicit TExtensionsList(const TWideTextServices& text = PlatformText());

    int Count() const { return list_.Count(); }
    WideString Get(int index) const { return list_.Get(index); }
    // Adds the extension (once); answers its index.
    int Add(const WideString& extension);
    // A comma-separated list of extensions, as ".jpg, .jpeg, .bmp".
    void AddCommaText(std::u16string_view extensions);
    int IndexOf(const WideString& extension) const;
    // The extension's colour; NoColor when it is not listed or has none. Black is a colour like any other.
    std::uint32_t GetColor(const WideString& extension) const;
    void SetColor(int index, std::uint32_t color);
    // Removes the extension; false when it is not listed.
    bool DeleteString(const WideString& extension);
    void Clear() { list_.Clear(); }

    // ".ext" in lower case.
    WideString Normalized(const WideString& extension) const;

private:
    TWideStringList list_;
};

} // namespace tarvola
