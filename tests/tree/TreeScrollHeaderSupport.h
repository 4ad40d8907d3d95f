// Shows or hides a tree's header for the window tests, whose form headers cannot sit beside the header's own
// declarations in one source.
#pragma once

namespace tarvola {

class TBaseVirtualTree;

namespace test {

void SetHeaderShown(TBaseVirtualTree& tree, bool shown, int height);

} // namespace test
} // namespace tarvola
