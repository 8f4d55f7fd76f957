#include "protocol/device_status.h"

#include "device/device_notice_filter.h"
#include "device/hid_device.h"
#include "protocol/command_report.h"
#include "protocol/pacing.h"

namespace keydeck {

std::optional<std::string> FirmwareVersionText(int32_t version, IDeviceStatusWindow& window) {
    if (version == kNoFirmwareVersion) return std::nullopt;
    std::string text = window.Translate("Firmware");
    if (version == 0) {
        text += window.Translate(": ");
        text += window.Translate("Early version");
    } else {
        text += ": v" + std::to_string(version >> 8) + "." + std::to_string(version & 0xFF);
    }
    return text;
}

DeviceStatus::DeviceStatus(HidDevice& device, CommandPacer& pacer, IDeviceStatusWindow& window)
    : device_(device), pacer_(pacer), window_(window) {}

void DeviceStatus::QueryFirmwareVersion() {
    if (!device_.IsOpen()) return;
    CommandReport report = MakeVersionQueryReport();
    if (!device_.SetFeature(report.data())) return;
    if (!device_.GetFeature(report.data())) return;
    firmwareVersion = report.bytes[1] * 256 + report.bytes[2];
}

void DeviceStatus::ShowFirmwareVersion() {
    if (const auto text = FirmwareVersionText(firmwareVersion, window_)) {
        window_.SetVersionText(*text);
    }
}

void DeviceStatus::CheckFirmwareUpdate(const DeviceIdentity& identity) {
    if (!device_.IsOpen()) {
        window_.ShowWarning(kInsertDeviceText, false, MessageButtons::kOk);
        return;
    }
    if (firmwareVersion == kLatestFirmwareVersion) {
        window_.ShowWarning(kLatestFirmwareText, false, MessageButtons::kOk);
        return;
    }
    device_.Close();
    if (device_.Open(identity, nullptr, kHidDefaultAccess)) {
        QueryFirmwareVersion();
    } else {
        firmwareVersion = kNoFirmwareVersion;
    }
    ShowFirmwareVersion();
}

void DeviceStatus::RestoreFactorySettings() {
    if (window_.ShowWarning(kRestoreQuestionText, true, MessageButtons::kOkCancel) !=
        MessageResult::kOk) {
        return;
    }
    restoring = true;
    window_.ResetMacroEditorSettings();
    window_.ClearKeyAssignments();
    window_.ResetLedEffects();
    window_.ResetSideLight();
    window_.ShowSideLightPanel(true);
    window_.ShowMainLightingPanel(true);
    window_.ClearKeyMarks();
    const CommandReport report = MakeFactoryRestoreReport();
    device_.Write(report.data());
}

void DeviceStatus::OnDeviceChange(const DeviceNotice& notice, const DeviceIdentity& identity) {
    if (!DeviceNoticeMatches(notice, identity)) return;
    if (notice.event == kDeviceArrival) {
        if (!device_.Open(kHidDefaultAccess, std::string_view(notice.path))) {
            firmwareVersion = kNoFirmwareVersion;
            ShowFirmwareVersion();
            return;
        }
        QueryFirmwareVersion();
        ShowFirmwareVersion();
        pacer_.MarkNow();
        window_.ShowMainLightingPanel(true);
        window_.ShowSideLightPanel(true);
        window_.RefreshKeyMarks();
        restoring = false;
        return;
    }
    device_.Close();
    firmwareVersion = kNoFirmwareVersion;
    ShowFirmwareVersion();
    if (!restoring) window_.DestroyWindow();
}

}  // namespace keydeck
