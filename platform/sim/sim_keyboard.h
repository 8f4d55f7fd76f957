#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/hid_platform.h"

namespace keydeck {

// A keyboard that lives in the process and answers like the real one, behind
// the same platform interface as the system's HID services. It shows three
// interfaces (a boot keyboard on interface 0; on interface 1 the vendor
// collection that takes the configuration reports and a consumer collection),
// plus any foreign interfaces a test adds, and can be told to misbehave.
class SimKeyboard final : public IHidPlatform {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    struct Config {
        uint16_t vendorId = 0x1A2C;
        uint16_t productId = 0x6700;
        uint16_t releaseNumber = 0x0105;
        int32_t firmwareVersion = 0x0100;  // major * 256 + minor; 0 is "no version"
        // How long the keyboard stays off the bus after a factory restore.
        std::chrono::milliseconds restoreOffTime{300};
        Clock clock;  // report time stamps; the steady clock when empty
    };

    struct Report {
        enum class Kind { kSetFeature, kGetFeature, kOutput };
        Kind kind;
        std::vector<uint8_t> bytes;
        std::string path;
        std::chrono::steady_clock::time_point time;
    };

    SimKeyboard();
    explicit SimKeyboard(Config config);
    ~SimKeyboard() override;
    SimKeyboard(const SimKeyboard&) = delete;
    SimKeyboard& operator=(const SimKeyboard&) = delete;

    // Paths of the keyboard's own interfaces.
    std::string ConfigInterfacePath() const;    // mi_01&col01, vendor page FF00
    std::string ConsumerInterfacePath() const;  // mi_01&col02
    std::string BootInterfacePath() const;      // mi_00
    std::vector<std::string> KeyboardPaths() const;

    // An interface of some other device, listed before or after the keyboard's.
    void AddForeignInterface(const HidEnumeratedInterface& entry, const HidCapabilities& caps,
                             bool beforeKeyboard);

    // Bus presence. Each change sends an arrival or removal notice for every
    // interface of the keyboard to the watchers.
    void Plug();
    void Unplug();
    bool plugged() const;
    // Sends one notice as the system would (any event, any device type).
    void SendNotice(const DeviceNotice& notice);

    void SetFirmwareVersion(int32_t version);
    void SetOutputReportLength(uint16_t length);

    // Faults.
    void SetRefuseOpen(bool refuse, HidOpenError error = HidOpenError::kPermissionDenied);
    void SetFailTransfers(bool fail);
    void SetFailCapabilityQuery(bool fail);
    // Writes hang until cancelled at their time-out.
    void SetStallWrites(bool stall);
    // The next transfer on the keyboard drops it off the bus halfway and fails.
    void UnplugDuringNextTransfer();
    // The next detail fetch of the enumeration fails.
    void SetFailNextDetail(bool fail);

    // What reached the keyboard.
    std::vector<Report> Reports() const;
    void ClearReports();
    int openCount() const;
    int liveConnections() const;
    int cancelledWrites() const;
    int restoreCount() const;

    // IHidPlatform
    std::vector<HidEnumeratedInterface> EnumerateInterfaces() override;
    HidOpenResult Open(const std::string& path, uint32_t access, uint32_t share) override;
    std::optional<HidCapabilities> QueryCapabilities(const std::string& path) override;
    std::unique_ptr<IDeviceNoticeSource> WatchDeviceNotices(IDispatcher& dispatcher,
                                                            DeviceNoticeCallback callback) override;

    struct Shared;

private:
    std::shared_ptr<Shared> shared_;
    std::thread timer_;
};

}  // namespace keydeck
