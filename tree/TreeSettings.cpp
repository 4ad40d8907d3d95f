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
    // The steps handle messages, so the tree may be destroyed before the loop ends: the loop then keeps the
    // settings (its clock) alive, calls no further step, and the exit leaves the freed tree alone.
    const std::weak_ptr<bool> alive = alive_;
    Settings();
    const std::shared_ptr<TTreeSettings> settings = settings_;
    ScopeExit leave([this, alive] {
        if (!alive.expired())
            DoStateChange({}, {TreeState::tsCancelHintAnimation, TreeState::tsInAnimation});
    });
    RunAnimation(
        steps, duration,
        [&callback, alive](std::uint32_t step, std::uint32_t stepSize) {
            return !alive.expired() && callback(step, stepSize);
        },
        *settings->Clock);
}

} // namespace tarvola
