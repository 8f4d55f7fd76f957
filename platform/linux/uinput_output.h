#pragma once

#include <bitset>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

struct libevdev_uinput;

namespace keydeck {

// KeyDeck's one output keyboard. Keys pressed through injection and not yet
// released are released before it goes away, also on SIGTERM and SIGINT.
class UinputOutput {
public:
    ~UinputOutput();
    // Creates the device; false with `error` naming the node and the reason.
    bool Open(std::string& error);
    bool IsOpen() const { return device_ != nullptr; }
    // One key event and its report; `injected` tracks the key for release.
    void WriteKey(std::uint16_t code, int value, bool injected);
    // The event node of the device, so that readers can leave it alone.
    std::string DevNode() const;

private:
    mutable std::mutex mutex_;
    libevdev_uinput* device_ = nullptr;
    std::bitset<0x300> down_;  // keys down on the device
};

// The process's output device, shared by the hook and the injector.
std::shared_ptr<UinputOutput> GetUinputOutput();

}  // namespace keydeck
