#include "shell/VirtualShellTypes.h"

namespace tarvola {

int CompareIDsResult(std::int32_t hr) {
    if (hr < 0)
        return 0;
    const auto code = static_cast<std::int16_t>(static_cast<std::uint32_t>(hr) & 0xFFFF);
    return (code > 0) - (code < 0);
}

WideString AttributeLetters(std::uint32_t fileAttributes) {
    struct Letter {
        std::uint32_t bit;
        char16_t letter;
    };
    static constexpr Letter kLetters[] = {{0x20, u'A'}, {0x2, u'H'}, {0x1, u'R'}, {0x4, u'S'}, {0x800, u'C'}};
    WideString letters;
    for (const Letter& l : kLetters)
        if (fileAttributes & l.bit)
            letters += l.letter;
    return letters;
}

TDetailsColumnStates DetailsColumnStatesOf(std::uint32_t shellColumnState) {
    TDetailsColumnStates states;
    switch (shellColumnState & 0xF) {
    case 1:
        states.string = true;
        break;
    case 2:
        states.integer = true;
        break;
    case 3:
        states.date = true;
        break;
    default:
        break;
    }
    states.onByDefault = shellColumnState & 0x10;
    states.slow = shellColumnState & 0x20;
    states.extended = shellColumnState & 0x40;
    states.secondaryUI = shellColumnState & 0x80;
    states.hidden = shellColumnState & 0x100;
    return states;
}

} // namespace tarvola
