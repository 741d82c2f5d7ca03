#pragma once
// A source that tests can replace: the real function unless a replacement is set.
#include <functional>

namespace platform {

template <class T>
class Replaceable {
public:
    explicit Replaceable(T (*real)()) : real_(real) {}
    T operator()() const { return replacement_ ? replacement_() : real_(); }
    // An empty function restores the real source.
    void Replace(std::function<T()> replacement) { replacement_ = std::move(replacement); }

private:
    T (*real_)();
    std::function<T()> replacement_;
};

} // namespace platform
