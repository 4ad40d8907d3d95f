#include "tree/CheckImages.h"

namespace tarvola {

int GetCheckImageIndex(TCheckType type, TCheckState state, bool enabled, bool hot) {
    // The first image of each four-image group: normal, hot, pressed, disabled follow.
    int group = 0;
    bool pressed = false;
    switch (state) {
    case TCheckState::csUncheckedPressed:
        pressed = true;
        [[fallthrough]];
    case TCheckState::csUncheckedNormal:
        group = type == TCheckType::ctRadioButton ? 1 : type == TCheckType::ctButton ? 21 : 9;
        break;
    case TCheckState::csCheckedPressed:
        pressed = true;
        [[fallthrough]];
    case TCheckState::csCheckedNormal:
        group = type == TCheckType::ctRadioButton ? 5 : type == TCheckType::ctButton ? 21 : 13;
        break;
    case TCheckState::csMixedPressed:
        pressed = true;
        [[fallthrough]];
    case TCheckState::csMixedNormal:
        group = 17;
        break;
    default: // a state byte out of range shows no image
        return -1;
    }
    if (type == TCheckType::ctNone)
        return -1;
    if (!enabled)
        return group + 3;
    if (pressed)
        return group + 2;
    return hot ? group + 1 : group;
}

} // namespace tarvola
