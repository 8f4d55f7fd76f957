#include "platform/sim/sim_input.h"

#include <utility>

namespace keydeck {

bool SimKeyboardHook::Install(KeyboardHookSink sink) {
    if (!installSucceeds_ || !sink) return false;
    sink_ = std::move(sink);
    return true;
}

bool SimKeyboardHook::Feed(std::uint32_t message, KeyboardHookEvent event, int hookCode) {
    if (sink_ && sink_(hookCode, message, event)) return true;
    passed_.push_back({hookCode, message, event});
    return false;
}

std::uint32_t SimKeyInjector::VirtualKeyToScanCode(std::uint32_t vk) {
    const auto it = scanCodes_.find(vk);
    return it == scanCodes_.end() ? 0 : it->second;
}

void SimKeyInjector::SendKeyEvent(std::uint8_t vk, std::uint8_t scanCode, std::uint32_t flags,
                                  std::uintptr_t extraInfo) {
    std::lock_guard lock(mutex_);
    sent_.push_back({vk, scanCode, flags, extraInfo, std::chrono::steady_clock::now()});
}

std::vector<SimKeyInjector::Sent> SimKeyInjector::sent() const {
    std::lock_guard lock(mutex_);
    return sent_;
}

void SimKeyInjector::Clear() {
    std::lock_guard lock(mutex_);
    sent_.clear();
}

bool SimProgramLauncher::Open(const std::string& path, const std::string& arguments) {
    std::lock_guard lock(mutex_);
    started_.push_back({path, arguments});
    return !path.empty();
}

std::vector<SimProgramLauncher::Started> SimProgramLauncher::started() const {
    std::lock_guard lock(mutex_);
    return started_;
}

bool SimWorkstation::Lock() {
    std::lock_guard lock(mutex_);
    ++locks_;
    lastLock_ = std::chrono::steady_clock::now();
    return true;
}

int SimWorkstation::lockCount() const {
    std::lock_guard lock(mutex_);
    return locks_;
}

std::chrono::steady_clock::time_point SimWorkstation::lastLock() const {
    std::lock_guard lock(mutex_);
    return lastLock_;
}

}  // namespace keydeck
