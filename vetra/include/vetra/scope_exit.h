#pragma once
// Runs a cleanup on every way out of a scope, for cleanups that own no handle
// (removing a temporary file when a step fails, say).

#include <utility>

namespace vetra {

template <typename Cleanup>
class scope_exit {
public:
    explicit scope_exit(Cleanup cleanup) : cleanup_(std::move(cleanup)) {}
    ~scope_exit()
    {
        if (active_)
            cleanup_();
    }
    scope_exit(const scope_exit&) = delete;
    scope_exit& operator=(const scope_exit&) = delete;

    // The cleanup will not run.
    void dismiss() noexcept { active_ = false; }

private:
    Cleanup cleanup_;
    bool active_ = true;
};

}  // namespace vetra
