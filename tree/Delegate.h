// A light, non-owning event slot: an object pointer and a thunk. It is trivially copyable, so firing it
// costs one indirect call and never allocates, which matters for events fired per node (init, compare,
// measure) on trees of a million nodes. The bound object (or lambda) must outlive the binding.
#pragma once

#include <type_traits>
#include <utility>

namespace tarvola {

template <typename Signature>
class Delegate;

template <typename R, typename... Args>
class Delegate<R(Args...)> {
public:
    Delegate() = default;

    // Binds a member function of an object: Delegate<...>::Bind<&Owner::Handler>(&owner).
    template <auto Method, typename Object>
    static Delegate Bind(Object* object) {
        Delegate result;
        result.object_ = const_cast<void*>(static_cast<const void*>(object));
        result.thunk_ = [](void* target, Args... args) -> R {
            return (static_cast<Object*>(target)->*Method)(std::forward<Args>(args)...);
        };
        return result;
    }

    // Binds a callable that the caller keeps alive (a lambda stored beside the tree, for example).
    template <typename Callable>
    static Delegate Bind(Callable& callable) {
        static_assert(!std::is_pointer_v<Callable>, "bind a member function with Bind<&Class::Method>");
        Delegate result;
        result.object_ = const_cast<void*>(static_cast<const void*>(&callable));
        result.thunk_ = [](void* target, Args... args) -> R {
            return (*static_cast<Callable*>(target))(std::forward<Args>(args)...);
        };
        return result;
    }

    explicit operator bool() const { return thunk_ != nullptr; }
    void Reset() { *this = Delegate(); }

    R operator()(Args... args) const { return thunk_(object_, std::forward<Args>(args)...); }

private:
    void* object_ = nullptr;
    R (*thunk_)(void*, Args...) = nullptr;
};

} // namespace tarvola
