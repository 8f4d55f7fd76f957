#include <windows.h>
// The HID headers need windows.h first.
#include <dbt.h>
#include <setupapi.h>
// MinGW's HID headers declare C functions without saying so.
extern "C" {
#include <hidsdi.h>
}
#ifdef interface
#undef interface
#endif

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "platform/dispatcher.h"
#include "platform/hid_platform.h"
#include "platform/windows/wide_text.h"

namespace keydeck {

namespace {

const GUID kHidGuid = {
    0x4d1e55b2, 0xf16f, 0x11cf, {0x88, 0xcb, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

std::string Utf8(const wchar_t* text) {
    if (text == nullptr || *text == 0) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, narrow.data(), size, nullptr, nullptr);
    narrow.resize(static_cast<size_t>(size > 0 ? size - 1 : 0));
    return narrow;
}

HidGuid FromGuid(const GUID& g) {
    HidGuid out;
    out.data1 = g.Data1;
    out.data2 = g.Data2;
    out.data3 = g.Data3;
    for (size_t i = 0; i < 8; ++i) out.data4[i] = g.Data4[i];
    return out;
}

std::optional<HidCapabilities> ReadCaps(HANDLE handle) {
    PHIDP_PREPARSED_DATA preparsed = nullptr;
    if (!HidD_GetPreparsedData(handle, &preparsed)) return std::nullopt;
    HIDP_CAPS caps{};
    const NTSTATUS status = HidP_GetCaps(preparsed, &caps);
    HidD_FreePreparsedData(preparsed);
    if (status != HIDP_STATUS_SUCCESS) return std::nullopt;
    return HidCapabilities{caps.Usage, caps.UsagePage, caps.InputReportByteLength,
                           caps.OutputReportByteLength, caps.FeatureReportByteLength};
}

class HandleConnection final : public IHidConnection {
public:
    explicit HandleConnection(HANDLE handle) : handle_(handle) {}
    ~HandleConnection() override { CloseHandle(handle_); }

    uint32_t HandleValue() const override {
        return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle_));
    }

    std::optional<HidAttributes> GetAttributes() override {
        HIDD_ATTRIBUTES attributes{};
        attributes.Size = sizeof attributes;
        if (!HidD_GetAttributes(handle_, &attributes)) return std::nullopt;
        return HidAttributes{attributes.VendorID, attributes.ProductID, attributes.VersionNumber};
    }

    std::optional<HidCapabilities> GetCapabilities() override { return ReadCaps(handle_); }

    bool SetFeature(const uint8_t* report, size_t length) override {
        std::vector<uint8_t> copy(report, report + length);
        return HidD_SetFeature(handle_, copy.data(), static_cast<ULONG>(copy.size())) != FALSE;
    }

    bool GetFeature(uint8_t* buffer, size_t length) override {
        return HidD_GetFeature(handle_, buffer, static_cast<ULONG>(length)) != FALSE;
    }

    HidWriteOutcome Write(const uint8_t* data, size_t length,
                          std::chrono::milliseconds timeout) override {
        // No event in the record: a pending write is waited for on the handle.
        OVERLAPPED overlapped{};
        DWORD transferred = 0;
        if (WriteFile(handle_, data, static_cast<DWORD>(length), nullptr, &overlapped)) {
            GetOverlappedResult(handle_, &overlapped, &transferred, TRUE);
            return {HidWriteOutcome::Kind::kCompleted, transferred, 0};
        }
        const DWORD error = GetLastError();
        if (error != ERROR_IO_PENDING) return {HidWriteOutcome::Kind::kFailed, 0, error};
        const DWORD wait =
            WaitForMultipleObjects(1, &handle_, FALSE, static_cast<DWORD>(timeout.count()));
        if (wait == WAIT_OBJECT_0 &&
            GetOverlappedResult(handle_, &overlapped, &transferred, TRUE)) {
            return {HidWriteOutcome::Kind::kCompletedPending, transferred, error};
        }
        // Still pending: cancel it and wait until the system lets go of the
        // buffer and the record, both of which die with this call.
        CancelIoEx(handle_, &overlapped);
        GetOverlappedResult(handle_, &overlapped, &transferred, TRUE);
        return {HidWriteOutcome::Kind::kTimedOut, 0, error};
    }

private:
    HANDLE handle_;
};

// A message-only window of the UI thread receives the device notices.
class WindowNoticeSource final : public IDeviceNoticeSource {
public:
    WindowNoticeSource(IDispatcher& dispatcher, DeviceNoticeCallback callback)
        : dispatcher_(dispatcher),
          callback_(std::make_shared<DeviceNoticeCallback>(std::move(callback))),
          alive_(std::make_shared<std::atomic<bool>>(true)) {}

    bool Start() {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &WindowNoticeSource::Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"KeyDeckDeviceNotices";
        RegisterClassExW(&wc);  // fails harmlessly when already registered
        window_ = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  wc.hInstance, nullptr);
        if (window_ == nullptr) return false;
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        DEV_BROADCAST_DEVICEINTERFACE_W filter{};
        filter.dbcc_size = 32;
        filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
        filter.dbcc_classguid = kHidGuid;
        notification_ = RegisterDeviceNotificationW(
            window_, &filter, DEVICE_NOTIFY_WINDOW_HANDLE | DEVICE_NOTIFY_ALL_INTERFACE_CLASSES);
        return true;
    }

    ~WindowNoticeSource() override {
        alive_->store(false);
        if (notification_ != nullptr) UnregisterDeviceNotification(notification_);
        if (window_ != nullptr) DestroyWindow(window_);
    }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_DEVICECHANGE) {
            auto* self =
                reinterpret_cast<WindowNoticeSource*>(GetWindowLongPtrW(window, GWLP_USERDATA));
            if (self != nullptr) self->Deliver(static_cast<uint32_t>(wParam), lParam);
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    void Deliver(uint32_t event, LPARAM lParam) {
        DeviceNotice notice;
        notice.event = event;
        const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam);
        if (header != nullptr) {
            notice.deviceType = header->dbch_devicetype;
            if (header->dbch_devicetype == DBT_DEVTYP_DEVICEINTERFACE) {
                notice.path = Utf8(
                    reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(header)->dbcc_name);
            }
        }
        dispatcher_.Post([callback = callback_, alive = alive_, notice = std::move(notice)] {
            if (alive->load()) (*callback)(notice);
        });
    }

    IDispatcher& dispatcher_;
    std::shared_ptr<DeviceNoticeCallback> callback_;
    std::shared_ptr<std::atomic<bool>> alive_;
    HWND window_ = nullptr;
    HDEVNOTIFY notification_ = nullptr;
};

class WindowsHidPlatform final : public IHidPlatform {
public:
    std::vector<HidEnumeratedInterface> EnumerateInterfaces() override {
        std::vector<HidEnumeratedInterface> result;
        HDEVINFO set = SetupDiGetClassDevsW(&kHidGuid, nullptr, nullptr,
                                            DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
        if (set == INVALID_HANDLE_VALUE) return result;
        for (DWORD index = 0;; ++index) {
            SP_DEVICE_INTERFACE_DATA data{};
            data.cbSize = sizeof data;
            if (!SetupDiEnumDeviceInterfaces(set, nullptr, &kHidGuid, index, &data)) break;
            HidEnumeratedInterface entry;
            entry.interfaceClass = FromGuid(data.InterfaceClassGuid);
            entry.interfaceFlags = data.Flags;
            DWORD size = 0;
            if (SetupDiGetDeviceInterfaceDetailW(set, &data, nullptr, 0, &size, nullptr)) {
                entry.detail = HidEnumeratedInterface::Detail::kNone;
            } else {
                std::vector<uint8_t> buffer(size + sizeof(wchar_t));
                auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
                detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
                if (size == 0 ||
                    !SetupDiGetDeviceInterfaceDetailW(set, &data, detail, size, nullptr, nullptr)) {
                    entry.detail = HidEnumeratedInterface::Detail::kFailed;
                } else {
                    entry.path = Utf8(detail->DevicePath);
                }
            }
            result.push_back(std::move(entry));
        }
        SetupDiDestroyDeviceInfoList(set);
        return result;
    }

    HidOpenResult Open(const std::string& path, uint32_t access, uint32_t share) override {
        HANDLE handle =
            CreateFileW(WideFromUtf8(path).c_str(), access, share, nullptr, OPEN_EXISTING,
                        FILE_FLAG_OVERLAPPED | FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            const HidOpenError reason =
                error == ERROR_ACCESS_DENIED
                    ? HidOpenError::kPermissionDenied
                    : (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                           ? HidOpenError::kNotFound
                           : HidOpenError::kOther);
            return {nullptr, reason};
        }
        return {std::make_unique<HandleConnection>(handle), HidOpenError::kNone};
    }

    std::optional<HidCapabilities> QueryCapabilities(const std::string& path) override {
        HANDLE handle =
            CreateFileW(WideFromUtf8(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
        HIDD_ATTRIBUTES attributes{};
        attributes.Size = sizeof attributes;
        HidD_GetAttributes(handle, &attributes);
        auto caps = ReadCaps(handle);
        CloseHandle(handle);
        return caps;
    }

    std::unique_ptr<IDeviceNoticeSource> WatchDeviceNotices(
        IDispatcher& dispatcher, DeviceNoticeCallback callback) override {
        auto source = std::make_unique<WindowNoticeSource>(dispatcher, std::move(callback));
        if (!source->Start()) return nullptr;
        return source;
    }
};

}  // namespace

std::unique_ptr<IHidPlatform> CreateSystemHidPlatform() {
    return std::make_unique<WindowsHidPlatform>();
}

}  // namespace keydeck
