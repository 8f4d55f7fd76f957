#pragma once

#include "platform/named_lock.h"

namespace keydeck {

// The names of HidDevice's operation locks; shared with other programs that
// talk to the keyboard, so they stay exactly as they are.
inline constexpr const char* kLockOpen = "HidDevice::Open";
inline constexpr const char* kLockClose = "HidDevice::Close";
inline constexpr const char* kLockWrite = "HidDevice::Write";
inline constexpr const char* kLockGetFeature = "HidDevice::GetFeature";
inline constexpr const char* kLockSetFeature = "HidDevice::SetFeature";

// Holds one operation's lock for its scope: system-wide, recursive for the
// owning thread, independent of every other name.
class NamedOperationLock {
public:
    explicit NamedOperationLock(const char* name) : lock_(name) {}

private:
    NamedLock lock_;
};

}  // namespace keydeck
