// Which image of a check image list shows a node's check box, radio button or button. Every check image
// list holds 25 images: 0 empty, then 1-4 radio button unchecked, 5-8 radio button checked, 9-12 check box
// unchecked, 13-16 check box checked, 17-20 mixed, 21-24 push button; each group normal, hot, pressed,
// disabled.
#pragma once

#include "tree/DecorationKinds.h"
#include "tree/TreeEvents.h"

#include <cstdint>

namespace tarvola {

constexpr int CheckImageCount = 25;

// The image index for a check type and state; -1 for ctNone. Enabled: the node and the control are
// enabled; Hot: the node is under the mouse. A disabled node shows the disabled image, a pressed one the
// pressed image whether hot or not.
int GetCheckImageIndex(TCheckType type, TCheckState state, bool enabled, bool hot);

} // namespace tarvola
