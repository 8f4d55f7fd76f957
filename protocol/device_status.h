#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "device/device_identity.h"
#include "platform/hid_platform.h"

namespace keydeck {

class HidDevice;
class CommandPacer;

inline constexpr int32_t kNoFirmwareVersion = -1;
inline constexpr int32_t kLatestFirmwareVersion = 0x100;

inline constexpr std::string_view kInsertDeviceText = "Please insert USB device";
inline constexpr std::string_view kLatestFirmwareText =
    "The firmware is already the latest version and no upgrade is required.";
inline constexpr std::string_view kRestoreQuestionText =
    "All settings will be restored, are you sure you want to continue?";
inline constexpr std::string_view kWarningCaption = "Warning";

enum class MessageButtons { kOk, kOkCancel };
enum class MessageResult { kOk, kCancel };

// What the main window gives the device status and watch logic: its message
// boxes, the "version" widget, the translator, and the refreshes and resets
// that a restore or an arrival asks for.
class IDeviceStatusWindow {
public:
    virtual ~IDeviceStatusWindow() = default;
    // A message box captioned "Warning"; `ownedByWindow` false means no owner.
    virtual MessageResult ShowWarning(std::string_view text, bool ownedByWindow,
                                      MessageButtons buttons) = 0;
    virtual std::string Translate(std::string_view text) = 0;
    virtual void SetVersionText(std::string_view text) = 0;

    virtual void ResetMacroEditorSettings() = 0;  // in memory only
    virtual void ClearKeyAssignments() = 0;       // and saves
    virtual void ResetLedEffects() = 0;           // and saves
    virtual void ResetSideLight() = 0;            // and saves
    virtual void ShowSideLightPanel(bool reload) = 0;
    virtual void ShowMainLightingPanel(bool reload) = 0;
    virtual void ClearKeyMarks() = 0;    // every key unchecked, repainted
    virtual void RefreshKeyMarks() = 0;  // assigned keys checked, tooltips set
    virtual void DestroyWindow() = 0;    // ends the program
};

// The firmware text: "Firmware: vMAJOR.MINOR", the early-version text for 0,
// nothing for -1.
std::optional<std::string> FirmwareVersionText(int32_t version, IDeviceStatusWindow& window);

// The keyboard's status as the main window keeps it, and the operations on it.
class DeviceStatus {
public:
    DeviceStatus(HidDevice& device, CommandPacer& pacer, IDeviceStatusWindow& window);

    // Reads the version when the keyboard is connected; a failure keeps it.
    void QueryFirmwareVersion();
    void ShowFirmwareVersion();
    // Menu command 1: messages, or a reconnection through discovery.
    void CheckFirmwareUpdate(const DeviceIdentity& identity);
    // The restore button: ask, reset the host side, send the restore report.
    void RestoreFactorySettings();
    // A device notice on the UI thread: opens or closes on matching arrivals
    // and removals, and ends the program on a removal outside a restore.
    void OnDeviceChange(const DeviceNotice& notice, const DeviceIdentity& identity);

    int32_t firmwareVersion = kNoFirmwareVersion;
    bool restoring = false;

private:
    HidDevice& device_;
    CommandPacer& pacer_;
    IDeviceStatusWindow& window_;
};

}  // namespace keydeck
