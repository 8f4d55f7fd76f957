#include "device/device_notice_filter.h"

#include "device/hid_path.h"

namespace keydeck {

bool DeviceNoticeMatches(const DeviceNotice& notice, const DeviceIdentity& identity) {
    if (notice.event != kDeviceArrival && notice.event != kDeviceRemoveComplete) return false;
    if (notice.deviceType != kDeviceTypeInterface) return false;
    HidPathFields fields{0, 0, -1, -1};
    if (!ParseHidInterfacePath(notice.path, &fields)) return false;
    return (fields.vendorId == 0 || fields.vendorId == identity.vid) &&
           (fields.productId == 0 || fields.productId == identity.pid) &&
           (fields.interfaceNumber < 0 || fields.interfaceNumber == identity.interface) &&
           (fields.collectionNumber < 0 || fields.collectionNumber == identity.subdevice);
}

}  // namespace keydeck
