#include "input/key_assignment_actions.h"

#include <chrono>

#include "app/app_settings.h"
#include "platform/key_injector.h"
#include "platform/program_launcher.h"
#include "platform/workstation.h"
#include "stores/key_assignment_store.h"
#include "stores/key_names.h"
#include "stores/macro_store.h"

namespace keydeck {
namespace {

bool IsKeyDown(std::uint32_t message) {
    return message == kWmKeyDown || message == kWmSysKeyDown;
}
bool IsKeyUp(std::uint32_t message) {
    return message == kWmKeyUp || message == kWmSysKeyUp;
}

bool SameStep(const MacroStep& a, const MacroStep& b) {
    return a.code == b.code && a.state == b.state && a.delay == b.delay;
}

}  // namespace

KeyAssignmentActions::KeyAssignmentActions(Services services, std::recursive_mutex& keyStepLock)
    : KeyAssignmentActions(std::move(services), keyStepLock,
                           Stores{GetKeyAssignmentStore(), GetAppSettings(), GetMacroStore()}) {}

KeyAssignmentActions::KeyAssignmentActions(Services services, std::recursive_mutex& keyStepLock,
                                           Stores stores)
    : services_(std::move(services)), keyStepLock_(keyStepLock), stores_(stores) {}

bool KeyAssignmentActions::OnHookEvent(int& hookCode, std::uint32_t& message,
                                       KeyboardHookEvent& event) {
    if ((event.flags & kLlkhfInjected) != 0) return false;
    if (event.extraInfo == kInjectedEventMarker) return false;

    const MacroConfig& config = stores_.macros.config;
    if (macroEditor_ && (config.recording || config.type == AssignmentType::Key)) {
        return macroEditor_->OnHookEvent(hookCode, message, event);
    }
    if (!services_.isConnected || !services_.isConnected()) return false;

    const auto keyCode =
        static_cast<std::int32_t>(MakeKeyCode(event.vkCode, (event.flags & kLlkhfExtended) != 0));
    for (const KeyRecord& record : stores_.assignments.records()) {
        if (record.code != keyCode) continue;
        switch (record.type) {
            case AssignmentType::Macro:
                if (message == kWmKeyUp) {
                    for (std::int32_t i = 0; i < record.repeat; ++i) {
                        for (const MacroStep& step : record.items) Append(step);
                    }
                }
                return true;
            case AssignmentType::Key: {
                if (record.items.empty()) break;
                const std::int32_t code = record.items.front().code;
                if ((event.scanCode & 0x200) != 0) return true;
                if (IsKeyDown(message)) {
                    SendKey(code, 0);
                } else if (IsKeyUp(message)) {
                    SendKey(code, kKeyEventFKeyUp);
                    if (event.vkCode == 0x10) SendKey(0x10, kKeyEventFKeyUp);
                }
                return true;
            }
            case AssignmentType::Media: {
                if (record.items.empty()) break;
                const std::int32_t code = record.items.front().code;
                if (code < kFirstLauncherCode) {
                    if (IsKeyDown(message)) SendKey(code, 0);
                    if (IsKeyUp(message)) SendKey(code, kKeyEventFKeyUp);
                    return true;
                }
                const FunKeyEntry* entry = nullptr;
                for (const FunKeyEntry& e : stores_.settings.funKeys) {
                    if (e.code == static_cast<std::uint32_t>(code)) {
                        entry = &e;
                        break;
                    }
                }
                if (!entry) break;
                if (IsKeyDown(message)) services_.launcher.Open(entry->path, entry->argm);
                return true;
            }
            case AssignmentType::Function:
                if (IsKeyDown(message)) {
                    {
                        std::lock_guard lock(keyStepLock_);
                        // An auto-repeated press while the earlier press still waits.
                        if (!keyStepQueue_.empty() &&
                            SameStep(keyStepQueue_.back(), lastComboDownStep_)) {
                            return true;
                        }
                    }
                    for (const MacroStep& step : record.items) {
                        if (step.state != 0) continue;
                        Append(step);
                        lastComboDownStep_ = step;
                    }
                } else if (IsKeyUp(message)) {
                    for (const MacroStep& step : record.items) {
                        if (step.state != 0) Append(step);
                    }
                    lastComboDownStep_.code = 0;
                    lastComboDownStep_.state = 1;
                    lastComboDownStep_.delay = 0;
                }
                return true;
            default:  // types unknown to this program are skipped
                break;
        }
    }
    return false;
}

void KeyAssignmentActions::PlayNextKeyStep() {
    MacroStep step;
    {
        // Looked at under the lock: the hook thread appends at the same time.
        std::lock_guard lock(keyStepLock_);
        if (keyStepQueue_.empty()) return;
        step = keyStepQueue_.front();
    }
    if (step.code == kLockWorkstationCode) {
        services_.workstation.Lock();
    } else {
        std::uint32_t flags = step.state == 1 ? kKeyEventFKeyUp : 0;
        if (step.code == 0x5B || step.code == 0x5C) flags |= kKeyEventFExtendedKey;
        SendKey(step.code, flags);
        if (services_.sleep) services_.sleep(std::chrono::milliseconds(step.delay));
    }
    std::lock_guard lock(keyStepLock_);
    keyStepQueue_.pop_front();
}

std::vector<MacroStep> KeyAssignmentActions::QueuedSteps() const {
    std::lock_guard lock(keyStepLock_);
    return {keyStepQueue_.begin(), keyStepQueue_.end()};
}

void KeyAssignmentActions::Append(const MacroStep& step) {
    std::lock_guard lock(keyStepLock_);
    keyStepQueue_.push_back(step);
}

void KeyAssignmentActions::SendKey(std::int32_t code, std::uint32_t flags) {
    IKeyInjector& injector = services_.injector;
    const auto vk = static_cast<std::uint32_t>(code);
    injector.SendKeyEvent(static_cast<std::uint8_t>(vk & 0xFF),
                          static_cast<std::uint8_t>(injector.VirtualKeyToScanCode(vk) & 0xFF),
                          flags, kInjectedEventMarker);
}

}  // namespace keydeck
