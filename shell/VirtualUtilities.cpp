#include "shell/VirtualUtilities.h"

#include "base/Numerics.h"

namespace tarvola {

namespace {

bool IsLetter(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

} // namespace

WideString WideExtractFileDir(const WideString& path) {
    if ((path.size() == 1 || path.size() == 2) && IsLetter(path[0]))
        return WideString(1, path[0]) + u":\\";
    const auto colon = path.find(u":\\");
    if (colon == WideString::npos)
        return {};
    const auto last = path.rfind(u'\\');
    if (last == colon + 1)
        return path.substr(0, last + 1); // the root keeps its backslash
    return path.substr(0, last);
}

WideString WideExtractFileDrive(const WideString& path) {
    const auto colon = path.find(u":\\");
    if (colon == WideString::npos || colon == 0)
        return {};
    return path.substr(colon - 1, 2);
}

WideString WideExtractFileExt(const WideString& name) {
    const auto dot = name.rfind(u'.');
    return dot == WideString::npos ? WideString() : name.substr(dot);
}

WideString PathElementExtension(const WideString& path) {
    const auto slash = path.find_last_of(u"\\/");
    return WideExtractFileExt(slash == WideString::npos ? path : path.substr(slash + 1));
}

WideString WideIncludeTrailingBackslash(const WideString& path) {
    if (!path.empty() && path.back() == u'\\')
        return path;
    return path + u"\\";
}

WideString WideStripTrailingBackslash(const WideString& path, bool force) {
    if (path.empty() || (path.back() != u'\\' && path.back() != u'/'))
        return path;
    if (WideIsDrive(path) && !force)
        return path;
    return path.substr(0, path.size() - 1);
}

bool WideIsDrive(const WideString& path) {
    return path.size() == 3 && path[1] == u':' && path[2] == u'\\';
}

bool WideIsPathDelimiter(const WideString& s, int index) {
    return index >= 1 && static_cast<std::size_t>(index) <= s.size() &&
           s[static_cast<std::size_t>(index) - 1] == u'\\';
}

void WideInsertStr(const WideString& source, WideString& s, int index) {
    if (index < 1 || static_cast<std::size_t>(index) > s.size() + 1)
        throw RangeError("String index out of bounds (" + std::to_string(index) + ")");
    s.insert(static_cast<std::size_t>(index) - 1, source);
}

WideString WideIntToStrWithSeparators(std::uint64_t n, const WideString& separator) {
    const std::string digits = std::to_string(n);
    WideString out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += separator;
        out += static_cast<char16_t>(digits[i]);
    }
    return out;
}

WideString SizeInKBText(std::uint64_t bytes, const WideString& separator) {
    const std::uint64_t kilobytes = bytes / 1024;
    return WideIntToStrWithSeparators(kilobytes == 0 ? 1 : kilobytes, separator) + u" KB";
}

WideString UniqueDirName(const WideString& path,
                         const std::function<bool(const WideString&)>& directoryExists,
                         const WideString& name) {
    const WideString base = WideStripTrailingBackslash(path, true) + u"\\" + name;
    if (!directoryExists(base))
        return base;
    for (int n = 1; n <= 20; ++n) {
        const WideString candidate = base + u" (" + Utf8ToWide(std::to_string(n)) + u")";
        if (!directoryExists(candidate))
            return candidate;
    }
    return {};
}

} // namespace tarvola
