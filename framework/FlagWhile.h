#pragma once
// A flag that is set for as long as a scope runs, however the scope ends (an exception too):
// "a check is under way", "the panel is loading".
namespace framework {

class FlagWhile {
public:
    explicit FlagWhile(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagWhile() { flag_ = false; }
    FlagWhile(const FlagWhile&) = delete;
    FlagWhile& operator=(const FlagWhile&) = delete;

private:
    bool& flag_;
};

} // namespace framework
