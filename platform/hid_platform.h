#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace keydeck {

class IDispatcher;

// A class GUID in its four members, as device interfaces report it.
struct HidGuid {
    uint32_t data1 = 0;
    uint16_t data2 = 0;
    uint16_t data3 = 0;
    std::array<uint8_t, 8> data4{};

    friend bool operator==(const HidGuid&, const HidGuid&) = default;
};

// The HID device interface class, {4D1E55B2-F16F-11CF-88CB-001111000030}.
inline constexpr HidGuid kHidInterfaceClassGuid{
    0x4d1e55b2, 0xf16f, 0x11cf, {0x88, 0xcb, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

// Access rights and share mode for opening an interface (the values of the
// Windows file API, which every backend understands).
inline constexpr uint32_t kHidAccessRead = 0x80000000u;
inline constexpr uint32_t kHidAccessWrite = 0x40000000u;
inline constexpr uint32_t kHidShareRead = 0x1u;
inline constexpr uint32_t kHidShareWrite = 0x2u;

// The handle value that log lines show for an open that failed.
inline constexpr uint32_t kHidInvalidHandleValue = 0xffffffffu;

// One present HID device interface, in enumeration order.
struct HidEnumeratedInterface {
    enum class Detail {
        kPath,    // path holds the interface path
        kNone,    // the interface has no detail to fetch; skipped silently
        kFailed,  // fetching the detail failed; logged and skipped
    };
    Detail detail = Detail::kPath;
    // Windows form: \\?\hid#vid_XXXX&pid_XXXX[&rev_XXXX][&mi_XX][&colXX]#<instance>#{guid}
    std::string path;
    HidGuid interfaceClass = kHidInterfaceClassGuid;
    uint32_t interfaceFlags = 0;
};

// What the HID attributes of an interface give.
struct HidAttributes {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t versionNumber = 0;
};

// The top-level collection's capabilities; lengths include the report ID byte.
struct HidCapabilities {
    uint16_t usage = 0;
    uint16_t usagePage = 0;
    uint16_t inputReportByteLength = 0;
    uint16_t outputReportByteLength = 0;
    uint16_t featureReportByteLength = 0;

    friend bool operator==(const HidCapabilities&, const HidCapabilities&) = default;
};

// How an output report write ended.
struct HidWriteOutcome {
    enum class Kind {
        kCompleted,         // finished at once
        kCompletedPending,  // went pending (errorCode says so) and finished within the time-out
        kTimedOut,          // went pending and was cancelled at the time-out; buffer released
        kFailed,            // refused; errorCode holds the system's error
    };
    Kind kind = Kind::kFailed;
    uint32_t bytesTransferred = 0;
    // The system error seen when the write did not finish at once (997 for a
    // pending write on Windows, the errno value on Linux).
    uint32_t errorCode = 0;
};

// The error code of a write that went pending, in log lines.
inline constexpr uint32_t kHidErrorIoPending = 997;
// The error code a transfer on the invalid handle gives, in log lines.
inline constexpr uint32_t kHidErrorInvalidHandle = 6;

// An open interface. Closing is destruction. Transfers may be called from any
// thread; the backend keeps one connection usable from two threads at once
// (feature reports from one, the output report from another).
class IHidConnection {
public:
    virtual ~IHidConnection() = default;
    // The value log lines show for this handle (%08x).
    virtual uint32_t HandleValue() const = 0;
    virtual std::optional<HidAttributes> GetAttributes() = 0;
    virtual std::optional<HidCapabilities> GetCapabilities() = 0;
    // Exactly `length` bytes, byte 0 the report ID. Synchronous.
    virtual bool SetFeature(const uint8_t* report, size_t length) = 0;
    // buffer[0] holds the report ID on entry; on success the report is in buffer.
    virtual bool GetFeature(uint8_t* buffer, size_t length) = 0;
    // An output report. Returns within about `timeout`; a transfer still pending
    // then is cancelled before this returns, so `data` is never touched afterwards.
    virtual HidWriteOutcome Write(const uint8_t* data, size_t length,
                                  std::chrono::milliseconds timeout) = 0;
};

// Why an open failed.
enum class HidOpenError {
    kNone,
    kNotFound,
    kPermissionDenied,
    kOther,
};

struct HidOpenResult {
    std::unique_ptr<IHidConnection> connection;  // null on failure
    HidOpenError error = HidOpenError::kNone;
};

// Device-change events and notice types, with the values of WM_DEVICECHANGE.
inline constexpr uint32_t kDeviceArrival = 0x8000;
inline constexpr uint32_t kDeviceQueryRemove = 0x8001;
inline constexpr uint32_t kDeviceRemoveComplete = 0x8004;
inline constexpr uint32_t kDeviceTypeVolume = 2;
inline constexpr uint32_t kDeviceTypeInterface = 5;

// One device notice as the system delivers it.
struct DeviceNotice {
    uint32_t event = 0;       // kDeviceArrival, kDeviceRemoveComplete, others
    uint32_t deviceType = 0;  // kDeviceTypeInterface for device interfaces
    std::string path;         // interface path (only for kDeviceTypeInterface)
};

// Arrival and removal notices, delivered on the UI thread. Destroying the
// source stops them; no callback runs after the destructor returns.
class IDeviceNoticeSource {
public:
    virtual ~IDeviceNoticeSource() = default;
};

using DeviceNoticeCallback = std::function<void(const DeviceNotice&)>;

// What the operating system gives for HID interfaces.
class IHidPlatform {
public:
    virtual ~IHidPlatform() = default;

    // Every present interface of the HID class, in a stable order.
    virtual std::vector<HidEnumeratedInterface> EnumerateInterfaces() = 0;

    // Opens an interface for overlapped I/O with the given access rights and
    // share mode (kHidAccess*, kHidShare*).
    virtual HidOpenResult Open(const std::string& path, uint32_t access, uint32_t share) = 0;

    // Reads the capabilities through a query-only open (no access rights),
    // which works even where the device cannot be opened for reading.
    virtual std::optional<HidCapabilities> QueryCapabilities(const std::string& path) = 0;

    // Starts watching for HID interface arrivals and removals. Callbacks run
    // on the dispatcher's UI thread. Returns null when watching is impossible.
    virtual std::unique_ptr<IDeviceNoticeSource> WatchDeviceNotices(
        IDispatcher& dispatcher, DeviceNoticeCallback callback) = 0;
};

// This machine's HID services (hidraw and udev on Linux, SetupAPI and the HID
// class driver on Windows).
std::unique_ptr<IHidPlatform> CreateSystemHidPlatform();

}  // namespace keydeck
