#include "device/hid_discovery.h"

#include <algorithm>

#include "device/hid_path.h"
#include "platform/hid_diagnostics.h"

namespace keydeck {

namespace {

// Discovery's wildcard: -1 accepts anything, other negatives accept nothing.
bool NumberPasses(int32_t wanted, int32_t parsed) {
    if (wanted == -1) return true;
    if (wanted < 0) return false;
    return parsed == wanted;
}

bool PassesFilter(const HidPathFields& fields, int32_t vid, std::span<const int32_t> pidList,
                  int32_t interface, int32_t subdevice) {
    if (!pidList.empty() &&
        std::find(pidList.begin(), pidList.end(), fields.productId) == pidList.end()) {
        return false;
    }
    if (vid > 0 && fields.vendorId != vid) return false;
    return NumberPasses(interface, fields.interfaceNumber) &&
           NumberPasses(subdevice, fields.collectionNumber);
}

void Probe(IHidPlatform& platform, HidInterfaceInfo& info) {
    HidOpenResult opened =
        platform.Open(info.path, kHidAccessRead | kHidAccessWrite, kHidShareRead | kHidShareWrite);
    HidLog("open dev: %08x\n",
           opened.connection ? opened.connection->HandleValue() : kHidInvalidHandleValue);
    if (!opened.connection) return;
    if (const auto attributes = opened.connection->GetAttributes()) {
        info.releaseNumber = attributes->versionNumber;
    }
    if (const auto caps = opened.connection->GetCapabilities()) {
        info.usagePage = caps->usagePage;
        info.usage = caps->usage;
    }
}

}  // namespace

std::vector<HidInterfaceInfo> FindHidInterfaces(IHidPlatform& platform, int32_t vid,
                                                std::span<const int32_t> pidList, int32_t interface,
                                                int32_t subdevice) {
    std::vector<HidInterfaceInfo> found;
    if (pidList.empty() && vid <= 0) return found;

    const std::vector<HidEnumeratedInterface> present = platform.EnumerateInterfaces();
    HidLog("got classs: guid={%s}\n", HidGuidLogText(kHidInterfaceClassGuid).c_str());
    for (size_t index = 0; index < present.size(); ++index) {
        const HidEnumeratedInterface& entry = present[index];
        HidLog("enum interface: guid={%s} index=%d\n", HidGuidLogText(entry.interfaceClass).c_str(),
               static_cast<int>(index));
        if (entry.detail == HidEnumeratedInterface::Detail::kNone) continue;
        if (entry.detail == HidEnumeratedInterface::Detail::kFailed) {
            HidLog("获取接口信息失败\n");
            continue;
        }
        HidPathFields fields;
        if (!ParseHidInterfacePath(entry.path, &fields)) continue;
        if (!PassesFilter(fields, vid, pidList, interface, subdevice)) continue;

        HidInterfaceInfo& info = found.emplace_back();
        info.path = entry.path;
        info.interfaceClass = entry.interfaceClass;
        info.interfaceFlags = entry.interfaceFlags;
        info.vendorId = fields.vendorId;
        info.productId = fields.productId;
        Probe(platform, info);
    }
    return found;
}

std::span<const int32_t> ProductListOf(const DeviceIdentity& identity) {
    if (identity.pid == 0) return {};
    return std::span<const int32_t>(&identity.pid, 1);
}

std::vector<HidInterfaceInfo> FindHidInterfaces(IHidPlatform& platform,
                                                const DeviceIdentity& identity) {
    return FindHidInterfaces(platform, identity.vid, ProductListOf(identity), identity.interface,
                             identity.subdevice);
}

}  // namespace keydeck
