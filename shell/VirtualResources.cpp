#include "shell/VirtualResources.h"

#include <iterator>

namespace tarvola {

WideString BuiltInColumnTitle(int column) {
    static constexpr const char16_t* kTitles[] = {u"Name",       u"Size",    u"Type",     u"Modified",
                                                  u"Attributes", u"Created", u"Accessed", u"Path",
                                                  u"DOS Name",   u"Custom"};
    if (column == -1)
        column = 0;
    if (column < 0 || column >= static_cast<int>(std::size(kTitles)))
        return {};
    return kTitles[column];
}

} // namespace tarvola
