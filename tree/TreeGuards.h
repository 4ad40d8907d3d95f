// Scope guards of the tree's update batching: a throwing handler must not leave an update open (and the
// window's redrawing off) for good.
#pragma once

#include "tree/VirtualTrees.h"

#include <exception>

namespace tarvola {

// BeginUpdate now, EndUpdate at the end of the scope. While an exception unwinds, what EndUpdate throws in
// turn is dropped so that the first error reaches the caller.
class UpdateGuard {
public:
    explicit UpdateGuard(TBaseVirtualTree& tree) : tree_(tree), exceptions_(std::uncaught_exceptions()) {
        tree_.BeginUpdate();
    }
    ~UpdateGuard() noexcept(false) {
        if (std::uncaught_exceptions() == exceptions_) {
            tree_.EndUpdate();
            return;
        }
        try {
            tree_.EndUpdate();
        } catch (...) {
        }
    }
    UpdateGuard(const UpdateGuard&) = delete;
    UpdateGuard& operator=(const UpdateGuard&) = delete;

private:
    TBaseVirtualTree& tree_;
    int exceptions_;
};

// Raises the update count directly (no OnUpdating, no redraw switch) for the scope.
class UpdateCountGuard {
public:
    explicit UpdateCountGuard(std::uint32_t& count) : count_(count) { ++count_; }
    ~UpdateCountGuard() {
        if (count_ > 0)
            --count_;
    }
    UpdateCountGuard(const UpdateCountGuard&) = delete;
    UpdateCountGuard& operator=(const UpdateCountGuard&) = delete;

private:
    std::uint32_t& count_;
};

// Runs an action at the end of the scope (leaving a state, clearing a flag). While an exception unwinds, what
// the action throws in turn is dropped so that the first error reaches the caller.
template <typename Action>
class ScopeExit {
public:
    explicit ScopeExit(Action action) : action_(action), exceptions_(std::uncaught_exceptions()) {}
    ~ScopeExit() noexcept(false) {
        if (std::uncaught_exceptions() == exceptions_) {
            action_();
            return;
        }
        try {
            action_();
        } catch (...) {
        }
    }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

private:
    Action action_;
    int exceptions_;
};

} // namespace tarvola
