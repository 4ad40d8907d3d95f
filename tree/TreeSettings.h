// Everything a tree is configured by beyond its core: the option object, the colours, the scroll-bar
// settings, the published settings, the control's window port and the animation clock. The tree makes it on
// first use with the defaults.
#pragma once

#include "tree/TreeAnimation.h"
#include "tree/TreeColors.h"
#include "tree/TreeControlPort.h"
#include "tree/TreeOptions.h"
#include "tree/TreeProperties.h"

namespace tarvola {

struct TTreeSettings {
    explicit TTreeSettings(TBaseVirtualTree& tree)
        : Options(tree), Colors(tree), ScrollBarOptions(tree), Properties(tree) {}
    TCustomVirtualTreeOptions Options;
    TVTColors Colors;
    TScrollBarOptions ScrollBarOptions;
    TVirtualTreeProperties Properties;
    NullTreeControlPort NoControl;
    ITreeControlPort* ControlPort = &NoControl;
    TSteadyAnimationClock SteadyClock;
    IAnimationClock* Clock = &SteadyClock;
};

} // namespace tarvola
