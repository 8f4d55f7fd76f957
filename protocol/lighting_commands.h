#pragma once

#include <cstdint>
#include <functional>

#include "protocol/command_report.h"
#include "stores/led_effect_store.h"
#include "stores/side_light_store.h"

namespace keydeck {

class HidDevice;
class CommandPacer;

// 07 FF FF effect brightness speed selection' deriction, with selection 1..3
// sent as 0..2. `effect` is the caller's argument (-1 goes out as FF).
CommandReport BuildMainLightingReport(int32_t effect, const LedEffectEntry& entry);
// The start-up variant: the entry's four bytes in stored order, untranslated.
CommandReport BuildStartupLightingReport(int32_t effect, const LedEffectEntry& entry);
// 07 FF FF 20 00 00 (level << 4 | mode & 0xF) 00.
CommandReport BuildSideLightReport(int32_t mode, const SideModeEntry& entry);

// The window's senders: effect or mode -1 means the store's current one; an
// index without an entry sends nothing and does not wait. Paced.
void SendMainLighting(HidDevice& device, CommandPacer& pacer, const LedEffectStore& store,
                      int32_t effect);
void SendSideLight(HidDevice& device, CommandPacer& pacer, const SideLightStore& store,
                   int32_t mode);

// The start-up report, sent once by the task thread; not paced. Takes the
// record by value: the poster copies it on the UI thread, so the worker never
// reads the store while the UI thread may be changing it.
void SendStartupLighting(HidDevice& device, int32_t effect, const LedEffectEntry* entry);

// Copies the record of `effect` (-1: current) now and returns the task that
// sends it later. The task sends nothing when there was no record.
std::function<void()> MakeStartupLightingTask(HidDevice& device, const LedEffectStore& store,
                                              int32_t effect);

}  // namespace keydeck
