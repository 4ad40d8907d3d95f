#include "tree/DrawingHelpers.h"

#include "base/Numerics.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <utility>

namespace tarvola {

std::wstring ShortenString(std::wstring_view s, int width, bool rightToLeft,
                           const TTextWidthFunction& measure, int ellipsisWidth) {
    constexpr std::wstring_view ellipsis = L"...";
    if (s.empty() || width < 1)
        return {};
    if (ellipsisWidth == 0)
        ellipsisWidth = measure(ellipsis);
    if (width <= ellipsisWidth)
        return {};
    const auto fits = [&](std::wstring_view part) { return measure(part) + ellipsisWidth <= width; };

    std::size_t low = 0;
    if (!rightToLeft) {
        std::size_t high = s.size() - 1;
        while (low < high) {
            const std::size_t n = low + (high - low + 1) / 2;
            if (fits(s.substr(0, n)))
                low = n;
            else
                high = n - 1;
        }
        return std::wstring(s.substr(0, low)) + std::wstring(ellipsis);
    }
    // The search may end at the full length, so "nothing fits" gives the ellipsis alone, as on the left.
    std::size_t high = s.size();
    while (low < high) {
        const std::size_t n = low + (high - low) / 2;
        if (fits(s.substr(n)))
            high = n;
        else
            low = n + 1;
    }
    return std::wstring(ellipsis) + std::wstring(s.substr(low));
}

std::vector<std::wstring_view> SplitTextLines(std::wstring_view text) {
    constexpr wchar_t LineSeparator = 0x2028;
    const auto endsLine = [](wchar_t c) { return c == 0 || c == L'\n' || c == L'\r' || c == LineSeparator; };
    std::vector<std::wstring_view> lines;
    std::size_t start = 0;
    while (start < text.size() && text[start] != 0) {
        std::size_t end = start;
        while (end < text.size() && !endsLine(text[end]))
            ++end;
        lines.push_back(text.substr(start, end - start));
        if (end >= text.size() || text[end] == 0)
            break;
        std::size_t next = end;
        if (text[next] == L'\r' || text[next] == LineSeparator)
            ++next;
        if (next < text.size() && text[next] == L'\n')
            ++next;
        if (next == end) // a lone LF
            ++next;
        start = next;
    }
    return lines;
}

TTreeRect OrderRect(const TTreeRect& r) {
    return TTreeRect{std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::max(r.Left, r.Right),
                     std::max(r.Top, r.Bottom)};
}

void QuickSortNodes(std::vector<PVirtualNode>& nodes, int l, int r) {
    if (l < 0 || r >= CheckedCast<int>(nodes.size()))
        throw std::out_of_range("QuickSortNodes: range outside the array");
    const auto key = [&](int i) {
        return reinterpret_cast<std::uintptr_t>(nodes.at(static_cast<std::size_t>(i)));
    };
    // Hoare partition; recursion on the left part, a loop on the right part.
    while (l < r) {
        int i = l;
        int j = r;
        const std::uintptr_t pivot = key(l + (r - l) / 2);
        while (i <= j) {
            while (key(i) < pivot)
                ++i;
            while (key(j) > pivot)
                --j;
            if (i <= j) {
                std::swap(nodes.at(static_cast<std::size_t>(i)), nodes.at(static_cast<std::size_t>(j)));
                ++i;
                --j;
            }
        }
        if (l < j)
            QuickSortNodes(nodes, l, j);
        l = i;
    }
}

std::array<TImageStripe, 6> GetUpdateRects(int w, int h, int dx, int dy) {
    const int ax = std::min(std::abs(dx), w);
    const int ay = std::min(std::abs(dy), h);
    // Laid out for a move right and down, then mirrored for the other directions.
    std::array<TImageStripe, 6> stripes{{
        {0, 0, w, h},
        {0, 0, w - ax, h - ay},
        {0, 0, ax, h},
        {ax, 0, w - ax, ay},
        {w - ax, 0, ax, h},
        {0, h - ay, w - ax, ay},
    }};
    // The overlap in new image coordinates sits at the origin for a move right and down.
    for (std::size_t i = 1; i < stripes.size(); ++i) {
        TImageStripe& s = stripes[i];
        if (dx < 0)
            s.X = w - s.X - s.Width;
        if (dy < 0)
            s.Y = h - s.Y - s.Height;
    }
    return stripes;
}

} // namespace tarvola
