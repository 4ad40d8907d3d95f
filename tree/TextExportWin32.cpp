#include "tree/TextExportWin32.h"

#include "base/Numerics.h"
#include "forms/Graphics.h"

#include <cstring>
#include <string>

namespace tarvola {
namespace {

std::string AnsiCodePage(std::wstring_view text) {
    if (text.empty())
        return {};
    const int size = CheckedCast<int>(text.size());
    const int length = WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), size, result.data(), length, nullptr, nullptr);
    return result;
}

UINT RegisteredFormat(const wchar_t* name) {
    return RegisterClipboardFormatW(name);
}

// Global memory with the bytes and a zero terminator of terminatorSize bytes; 0 for no bytes.
HGLOBAL CopyToGlobal(const void* bytes, std::size_t size, std::size_t terminatorSize) {
    if (size == 0)
        return nullptr;
    const std::size_t total = CheckedAdd(size, terminatorSize);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_SHARE, total);
    if (memory == nullptr)
        return nullptr;
    void* target = GlobalLock(memory);
    if (target == nullptr) {
        GlobalFree(memory);
        return nullptr;
    }
    std::memcpy(target, bytes, size); // the terminator stays zero from the allocation
    GlobalUnlock(memory);
    return memory;
}

HGLOBAL CopyToGlobal(const std::string& text) {
    return CopyToGlobal(text.data(), text.size(), 1);
}

} // namespace

TExportPlatform Win32ExportPlatform() {
    return TExportPlatform{[](TVTColor color) -> std::uint32_t { return ColorToRGB(color); }, AnsiCodePage};
}

char LocaleListSeparator() {
    char separator[4] = {};
    const int length = GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SLIST, separator, sizeof separator);
    // length counts the terminator.
    return length == 2 ? separator[0] : ',';
}

HGLOBAL RenderTextFormat(TCustomVirtualStringTree& tree, UINT format, TVSTTextSourceType source) {
    const TExportPlatform platform = Win32ExportPlatform();
    if (format == CF_TEXT)
        return CopyToGlobal(tree.ExportText(source, '\t', platform));
    if (format == CF_UNICODETEXT) {
        const std::wstring text = tree.ExportUnicodeText(source, L'\t');
        return CopyToGlobal(text.data(), text.size() * sizeof(wchar_t), sizeof(wchar_t));
    }
    if (format == RegisteredFormat(L"CSV"))
        return CopyToGlobal(tree.ExportText(source, LocaleListSeparator(), platform));
    if (format == RegisteredFormat(L"Rich Text Format") ||
        format == RegisteredFormat(L"Rich Text Format Without Objects"))
        return CopyToGlobal(tree.ExportRTF(source, platform));
    if (format == RegisteredFormat(L"HTML Format")) {
        std::string html = tree.ExportHTML(source, {}, platform);
        AddClipboardHTMLHeader(html);
        return CopyToGlobal(html);
    }
    return nullptr;
}

} // namespace tarvola
