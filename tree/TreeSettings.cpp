// The tree's settings object, made on first use with the defaults, and the animation loop with its states.
#include "tree/TreeSettings.h"

#include "tree/TreeGuards.h"
#include "tree/VirtualTrees.h"

namespace tarvola {

TTreeSettings& TBaseVirtualTree::Settings() const {
    if (!settings_)
        settings_ = std::make_shared<TTreeSettings>(const_cast<TBaseVirtualTree&>(*this));
    return *settings_;
}

TCustomVirtualTreeOptions& TBaseVirtualTree::TreeOptions() const {
    return Settings().Options;
}

TVTColors& TBaseVirtualTree::Colors() const {
    return Settings().Colors;
}

TScrollBarOptions& TBaseVirtualTree::ScrollBarOptions() const {
    return Settings().ScrollBarOptions;
}

TVirtualTreeProperties& TBaseVirtualTree::Properties() const {
    return Settings().Properties;
}

void TBaseVirtualTree::SetControlPort(ITreeControlPort* port) {
    TTreeSettings& settings = Settings();
    settings.ControlPort = port != nullptr ? port : &settings.NoControl;
}

ITreeControlPort& TBaseVirtualTree::ControlPort() const {
    return *Settings().ControlPort;
}

void TBaseVirtualTree::SetAnimationClock(IAnimationClock* clock) {
    TTreeSettings& settings = Settings();
    settings.Clock = clock != nullptr ? clock : &settings.SteadyClock;
}

void TBaseVirtualTree::Animate(std::uint32_t steps, std::uint32_t duration,
                               const TAnimationCallback& callback) {
    if (InState(TreeState::tsInAnimation) || duration == 0)
        return;
    DoStateChange({TreeState::tsInAnimation});
    ScopeExit leave([this] {
        DoStateChange({}, {TreeState::tsCancelHintAnimation, TreeState::tsInAnimation});
    });
    RunAnimation(steps, duration, callback, *Settings().Clock);
}

} // namespace tarvola
