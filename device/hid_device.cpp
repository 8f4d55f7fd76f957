#include "device/hid_device.h"

#include <cstdint>
#include <utility>

#include "device/hid_discovery.h"
#include "device/named_operation_lock.h"
#include "platform/hid_diagnostics.h"

namespace keydeck {

namespace {

uint32_t AddressValue(const void* p) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p));
}

}  // namespace

HidDevice::HidDevice(IHidPlatform& platform) : platform_(platform) {}

std::shared_ptr<IHidConnection> HidDevice::Connection(State* state) const {
    std::lock_guard lock(mutex_);
    if (state) *state = state_;
    return connection_;
}

bool HidDevice::Open(uint32_t access, std::optional<std::string_view> path) {
    NamedOperationLock lock(kLockOpen);
    if (!path) return false;
    {
        std::lock_guard guard(mutex_);
        connection_.reset();
        state_ = State::kClosed;
    }
    const std::string pathText(*path);
    HidOpenResult opened = platform_.Open(pathText, access & 0xFF000000u, access & 0xFFu);
    const bool ok = opened.connection != nullptr;
    HidLog("open dev: %08x\n", ok ? opened.connection->HandleValue() : kHidInvalidHandleValue);
    {
        std::lock_guard guard(mutex_);
        connection_ = std::move(opened.connection);
        state_ = ok ? State::kOpen : State::kFailed;
    }
    if (ok) {
        if (const auto caps = platform_.QueryCapabilities(pathText)) {
            std::lock_guard guard(mutex_);
            capabilities_ = *caps;
        }
    }
    return ok;
}

bool HidDevice::Open(int32_t vid, std::span<const int32_t> pidList, int32_t interface,
                     int32_t subdevice, uint32_t* releaseNumber, uint32_t access) {
    NamedOperationLock lock(kLockOpen);
    const std::vector<HidInterfaceInfo> found =
        FindHidInterfaces(platform_, vid, pidList, interface, subdevice);
    if (found.empty()) return false;
    const bool ok = Open(access, std::string_view(found.front().path));
    if (releaseNumber) *releaseNumber = found.front().releaseNumber;
    return ok;
}

bool HidDevice::Open(const DeviceIdentity& identity, uint32_t* releaseNumber, uint32_t access) {
    return Open(identity.vid, ProductListOf(identity), identity.interface, identity.subdevice,
                releaseNumber, access);
}

void HidDevice::Close() {
    NamedOperationLock lock(kLockClose);
    std::shared_ptr<IHidConnection> closing;
    {
        std::lock_guard guard(mutex_);
        closing = std::exchange(connection_, nullptr);
        state_ = State::kClosed;
    }
    // The handle closes here, or when a transfer still using it ends.
}

bool HidDevice::GetFeature(uint8_t* buffer) {
    NamedOperationLock lock(kLockGetFeature);
    const auto connection = Connection(nullptr);
    if (!connection || buffer == nullptr) return false;
    return connection->GetFeature(buffer, kHidReportLength);
}

bool HidDevice::SetFeature(const uint8_t* buffer) {
    NamedOperationLock lock(kLockSetFeature);
    const auto connection = Connection(nullptr);
    if (!connection || buffer == nullptr) return false;
    return connection->SetFeature(buffer, kHidReportLength);
}

uint32_t HidDevice::Write(const uint8_t* buffer) {
    NamedOperationLock lock(kLockWrite);
    return WriteReport(buffer, kHidReportLength, kWriteTimeout);
}

uint32_t HidDevice::WriteReport(const uint8_t* buffer, size_t length,
                                std::chrono::milliseconds timeout) {
    State state = State::kClosed;
    const auto connection = Connection(&state);
    uint32_t written = 0;
    if (length != 0 && buffer != nullptr && state != State::kClosed && timeout.count() != 0) {
        const uint32_t handle = connection ? connection->HandleValue() : kHidInvalidHandleValue;
        HidLog("写(异步)USB设备 handle=%08x, data=%08x, len=%d, timeout=%d\n", handle,
               AddressValue(buffer), static_cast<int>(length), static_cast<int>(timeout.count()));
        const uint16_t limit = capabilities().outputReportByteLength;
        if (limit != 0 && limit < length) length = limit;
        HidLog("正在写入... %d\n", static_cast<int>(length));

        HidWriteOutcome outcome;
        if (connection) {
            outcome = connection->Write(buffer, length, timeout);
        } else {
            outcome.errorCode = kHidErrorInvalidHandle;  // the failed open's handle
        }
        if (outcome.kind == HidWriteOutcome::Kind::kCompleted) {
            written = outcome.bytesTransferred;
        } else {
            HidLog("写文件错误(%04x,%d)\n", handle, static_cast<int>(outcome.errorCode));
            if (outcome.kind == HidWriteOutcome::Kind::kCompletedPending) {
                HidLog("asynchronous write succeed : %d\n", static_cast<int>(handle));
                written = outcome.bytesTransferred;
            } else if (outcome.kind == HidWriteOutcome::Kind::kTimedOut) {
                HidLog("超时索引错误\n");
            }
        }
    }
    HidLog("已写长度为 %d\n", static_cast<int>(written));
    return written;
}

bool HidDevice::IsOpen() const {
    return state() == State::kOpen;
}

HidDevice::State HidDevice::state() const {
    std::lock_guard lock(mutex_);
    return state_;
}

HidCapabilities HidDevice::capabilities() const {
    std::lock_guard lock(mutex_);
    return capabilities_;
}

}  // namespace keydeck
