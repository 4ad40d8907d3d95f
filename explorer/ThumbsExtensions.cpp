#include "explorer/ThumbsExtensions.h"

#include "base/Numerics.h"

#include <memory>

namespace tarvola {

TExtensionsList::TExtensionsList(const TWideTextServices& text) : list_(text) {
    list_.SetSorted(true);
    list_.SetDuplicates(TDuplicates::dupIgnore);
    // Each entry's object is its colour, owned by the list; no object means no colour.
    list_.SetObjectDeleter([](void* color) { delete static_cast<std::uint32_t*>(color); });
}

WideString TExtensionsList::Normalized(const WideString& extension) const {
    const WideString lower = list_.TextServices().LowerCase(extension);
    return !lower.empty() && lower.front() == u'.' ? lower : u"." + lower;
}

int TExtensionsList::Add(const WideString& extension) {
    const WideString normalized = Normalized(extension);
    int index = 0;
    if (list_.Find(normalized, index))
        return index;
    return list_.Add(normalized);
}

void TExtensionsList::AddCommaText(std::u16string_view extensions) {
    std::size_t start = 0;
    while (start <= extensions.size()) {
        std::size_t end = extensions.find(u',', start);
        if (end == std::u16string_view::npos)
            end = extensions.size();
        std::u16string_view item = extensions.substr(start, end - start);
        while (!item.empty() && item.front() == u' ')
            item.remove_prefix(1);
        while (!item.empty() && item.back() == u' ')
            item.remove_suffix(1);
        if (!item.empty())
            Add(WideString(item));
        start = end + 1;
    }
}

int TExtensionsList::IndexOf(const WideString& extension) const {
    int index = 0;
    return list_.Find(Normalized(extension), index) ? index : -1;
}

std::uint32_t TExtensionsList::GetColor(const WideString& extension) const {
    const int index = IndexOf(extension);
    if (index < 0)
        return NoColor;
    const auto* color = static_cast<const std::uint32_t*>(list_.GetObject(index));
    return color == nullptr ? NoColor : *color;
}

void TExtensionsList::SetColor(int index, std::uint32_t color) {
    CheckIndex(index, Count());
    // The list frees objects it drops, not ones it is handed in their place: a colour is changed in place.
    if (auto* existing = static_cast<std::uint32_t*>(list_.GetObject(index))) {
        *existing = color;
        return;
    }
    auto owned = std::make_unique<std::uint32_t>(color);
    list_.PutObject(index, owned.get());
    owned.release();
}

bool TExtensionsList::DeleteString(const WideString& extension) {
    const int index = IndexOf(extension);
    if (index < 0)
        return false;
    list_.Delete(index);
    return true;
}

} // namespace tarvola
