#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string_view>

#include "device/device_identity.h"
#include "platform/hid_platform.h"

namespace keydeck {

// Read and write access, shared reading and writing: what every caller passes.
inline constexpr uint32_t kHidDefaultAccess = 0xC0000003u;

// Feature reports move exactly this many bytes, report ID included.
inline constexpr size_t kHidReportLength = 8;

// The handle to the keyboard's configuration interface and its report I/O.
// Every operation runs under its own named lock. Safe to use from the UI
// thread and the task thread at once: a transfer keeps the connection it
// started on alive even when the other thread closes or reopens meanwhile.
class HidDevice {
public:
    static constexpr std::chrono::milliseconds kWriteTimeout{3000};

    enum class State { kClosed, kOpen, kFailed };

    explicit HidDevice(IHidPlatform& platform);
    HidDevice(const HidDevice&) = delete;
    HidDevice& operator=(const HidDevice&) = delete;

    // Path form. The access word holds the access rights in its top byte and
    // the share mode in its low byte. A null path gives false and changes nothing.
    bool Open(uint32_t access, std::optional<std::string_view> path);
    // Identity form: discovery, then the path form on the first interface found.
    bool Open(int32_t vid, std::span<const int32_t> pidList, int32_t interface, int32_t subdevice,
              uint32_t* releaseNumber, uint32_t access);
    bool Open(const DeviceIdentity& identity, uint32_t* releaseNumber, uint32_t access);
    void Close();

    // 8-byte buffers, byte 0 the report ID.
    bool GetFeature(uint8_t* buffer);
    bool SetFeature(const uint8_t* buffer);
    // The output report: 8 bytes, shortened to the output report length when
    // that is known; waits at most 3000 ms. The number of bytes written.
    uint32_t Write(const uint8_t* buffer);
    // The write routine itself, with the length and time-out given.
    uint32_t WriteReport(const uint8_t* buffer, size_t length, std::chrono::milliseconds timeout);

    bool IsOpen() const;
    State state() const;
    HidCapabilities capabilities() const;

private:
    std::shared_ptr<IHidConnection> Connection(State* state) const;

    IHidPlatform& platform_;
    mutable std::mutex mutex_;  // guards the three fields below, never held across a transfer
    State state_ = State::kClosed;
    std::shared_ptr<IHidConnection> connection_;
    HidCapabilities capabilities_{};
};

}  // namespace keydeck
