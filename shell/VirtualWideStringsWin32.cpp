// The platform's text services: the system's case rules and its single-byte code page.
#include "shell/VirtualUnicodeDefines.h"
#include "shell/VirtualWideStrings.h"

#include "base/Numerics.h"

namespace tarvola {

namespace {

class TWindowsText final : public TWideTextServices {
public:
    int CompareText(std::u16string_view a, std::u16string_view b) const override {
        // lstrcmpiW wants terminated strings; the views may be parts of longer ones.
        const WideString left(a);
        const WideString right(b);
        return lstrcmpiW(AsW(left), AsW(right));
    }
    WideString FromCodePage(std::string_view bytes) const override {
        if (bytes.empty())
            return {};
        const int length = CheckedCast<int>(bytes.size());
        const int units = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
        WideString out(static_cast<std::size_t>(units), u'\0');
        MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, AsW(out.data()), units);
        return out;
    }
    std::string ToCodePage(std::u16string_view text) const override {
        if (text.empty())
            return {};
        const auto* units = reinterpret_cast<const wchar_t*>(text.data());
        const int length = CheckedCast<int>(text.size());
        const int bytes = WideCharToMultiByte(CP_ACP, 0, units, length, nullptr, 0, nullptr, nullptr);
        std::string out(static_cast<std::size_t>(bytes), '\0');
        WideCharToMultiByte(CP_ACP, 0, units, length, out.data(), bytes, nullptr, nullptr);
        return out;
    }
    WideString LowerCase(std::u16string_view text) const override {
        WideString out(text);
        if (!out.empty())
            CharLowerBuffW(AsW(out.data()), CheckedCast<DWORD>(out.size()));
        return out;
    }
    WideString UpperCase(std::u16string_view text) const override {
        WideString out(text);
        if (!out.empty())
            CharUpperBuffW(AsW(out.data()), CheckedCast<DWORD>(out.size()));
        return out;
    }
};

} // namespace

const TWideTextServices& PlatformText() {
    static const TWindowsText services; // stateless: nothing to order at start-up or exit
    return services;
}

} // namespace tarvola

namespace tarvola {

WideString StrRetToWideStr(STRRET& strRet, LPCITEMIDLIST pidl) {
    switch (strRet.uType) {
    case STRRET_WSTR: {
        WideString text = FromW(strRet.pOleStr);
        CoTaskMemFree(strRet.pOleStr);
        strRet.pOleStr = nullptr;
        return text;
    }
    case STRRET_CSTR: {
        std::size_t length = 0;
        while (length < sizeof(strRet.cStr) && strRet.cStr[length] != 0)
            ++length;
        return PlatformText().FromCodePage(std::string_view(strRet.cStr, length));
    }
    case STRRET_OFFSET: {
        if (pidl == nullptr)
            return {};
        const auto* bytes = reinterpret_cast<const char*>(pidl);
        const std::size_t size = pidl->mkid.cb; // the text lies in the item's own record
        std::size_t at = strRet.uOffset;
        std::size_t end = at;
        while (end < size && bytes[end] != 0)
            ++end;
        return at >= size ? WideString()
                          : PlatformText().FromCodePage(std::string_view(bytes + at, end - at));
    }
    default:
        return {};
    }
}

} // namespace tarvola
