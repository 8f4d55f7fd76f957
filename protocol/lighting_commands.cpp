#include "protocol/lighting_commands.h"

#include <optional>

#include "device/hid_device.h"
#include "protocol/pacing.h"

namespace keydeck {

namespace {

CommandReport LightingHeader(int32_t effect) {
    CommandReport report;
    report.bytes[1] = kCommandLighting;
    report.bytes[2] = 0xFF;
    report.bytes[3] = static_cast<uint8_t>(effect & 0xFF);
    return report;
}

uint8_t TranslateSelection(uint8_t selection) {
    return (selection >= 1 && selection <= 3) ? static_cast<uint8_t>(selection - 1) : selection;
}

}  // namespace

CommandReport BuildMainLightingReport(int32_t effect, const LedEffectEntry& entry) {
    CommandReport report = LightingHeader(effect);
    report.bytes[4] = entry.brightness;
    report.bytes[5] = entry.speed;
    report.bytes[6] = TranslateSelection(entry.selection);
    report.bytes[7] = entry.deriction;
    return report;
}

CommandReport BuildStartupLightingReport(int32_t effect, const LedEffectEntry& entry) {
    CommandReport report = LightingHeader(effect);
    report.bytes[4] = entry.brightness;
    report.bytes[5] = entry.speed;
    report.bytes[6] = entry.deriction;
    report.bytes[7] = entry.selection;
    return report;
}

CommandReport BuildSideLightReport(int32_t mode, const SideModeEntry& entry) {
    CommandReport report = LightingHeader(0x20);
    report.bytes[6] = static_cast<uint8_t>((entry.level << 4) | (mode & 0x0F));
    return report;
}

void SendMainLighting(HidDevice& device, CommandPacer& pacer, const LedEffectStore& store,
                      int32_t effect) {
    const LedEffectEntry* entry = store.GetEntry(effect);
    if (entry == nullptr) return;
    pacer.Paced([&] { device.SetFeature(BuildMainLightingReport(effect, *entry).data()); });
}

void SendSideLight(HidDevice& device, CommandPacer& pacer, const SideLightStore& store,
                   int32_t mode) {
    const SideModeEntry* entry = store.GetEntry(mode);
    if (entry == nullptr) return;
    pacer.Paced([&] { device.SetFeature(BuildSideLightReport(mode, *entry).data()); });
}

void SendStartupLighting(HidDevice& device, int32_t effect, const LedEffectEntry* entry) {
    if (entry == nullptr) return;
    device.SetFeature(BuildStartupLightingReport(effect, *entry).data());
}

std::function<void()> MakeStartupLightingTask(HidDevice& device, const LedEffectStore& store,
                                              int32_t effect) {
    std::optional<LedEffectEntry> copy;
    if (const LedEffectEntry* entry = store.GetEntry(effect)) copy = *entry;
    return
        [&device, effect, copy] { SendStartupLighting(device, effect, copy ? &*copy : nullptr); };
}

}  // namespace keydeck
