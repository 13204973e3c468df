#pragma once
// Sets a flag for the lifetime of a scope and puts back what it held before.
//
// Thread contract: the thread that owns the flag.

#include <utility>

namespace client {

class FlagScope {
public:
    explicit FlagScope(bool& flag) : flag_(flag), previous_(std::exchange(flag, true)) {}
    ~FlagScope() { flag_ = previous_; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
    bool previous_;
};

} // namespace client
