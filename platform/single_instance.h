#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace keydeck {

// Makes sure one instance of the program runs per user. The first process to
// claim the name holds it for its life; a later one finds it taken and asks
// the first to bring its window forward, then ends.
class SingleInstance {
public:
    virtual ~SingleInstance() = default;

    // True when this process holds the name.
    virtual bool IsFirst() const = 0;
    // For a later process: asks the first to restore, show and raise its
    // window. True when the request was delivered within `timeout`.
    virtual bool BringFirstForward(std::chrono::milliseconds timeout) = 0;
    // For the first process: later starts call `onShow`, on a thread of the
    // platform layer (post it to the UI thread).
    virtual void OnShowRequest(std::function<void()> onShow) = 0;
    // Marks the main window as the instance's window (a window property of
    // the instance name where the system finds windows that way).
    virtual void MarkWindow(std::uintptr_t nativeWindow) = 0;
    virtual void UnmarkWindow() = 0;
};

// Claims `name` (any fixed, product-unique text) for this process. Never null.
std::unique_ptr<SingleInstance> ClaimSingleInstance(const std::string& name);

}  // namespace keydeck
