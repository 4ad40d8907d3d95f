#include "tree/ThemeServicesDetails.h"

#include <array>

namespace tarvola {
namespace {

// One row of a detail table: the details First..Last map to Part with states from 1.
struct TDetailRange {
    int First;
    int Last;
    int Part;
};

constexpr TDetailRange EditDetails[] = {{2, 8, 1}, {9, 9, 2}};
constexpr TDetailRange HeaderDetails[] = {{2, 4, 1}, {5, 7, 2}, {8, 10, 3}, {11, 12, 4}};
constexpr TDetailRange TreeviewDetails[] = {{2, 6, 1}, {7, 8, 2}, {9, 9, 3}};

template <std::size_t N>
bool Lookup(const TDetailRange (&table)[N], int detail, TThemedElementDetails& result) {
    for (const TDetailRange& range : table)
        if (detail >= range.First && detail <= range.Last) {
            result.Part = range.Part;
            result.State = detail - range.First + 1;
            return true;
        }
    return false;
}

} // namespace

const wchar_t* ThemedElementClassName(TThemedElement element) {
    static constexpr std::array<const wchar_t*, ThemedElementCount> names{
        L"button",   L"clock",      L"combobox", L"edit",       L"explorerbar", L"header",
        L"listview", L"menu",       L"page",     L"progress",   L"rebar",       L"scrollbar",
        L"spin",     L"startpanel", L"status",   L"tab",        L"taskband",    L"taskbar",
        L"toolbar",  L"tooltip",    L"trackbar", L"traynotify", L"treeview",    L"window"};
    return names.at(static_cast<std::size_t>(element));
}

TThemedElementDetails GetElementDetails(TThemedElement element, int detail) {
    TThemedElementDetails result{element, 0, detail + 1};
    switch (element) {
    case TThemedElement::teEdit:
        Lookup(EditDetails, detail, result);
        break;
    case TThemedElement::teHeader:
        Lookup(HeaderDetails, detail, result);
        break;
    case TThemedElement::teTreeview:
        Lookup(TreeviewDetails, detail, result);
        break;
    default:
        break;
    }
    return result;
}

} // namespace tarvola
