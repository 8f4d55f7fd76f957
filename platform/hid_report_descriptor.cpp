#include "platform/hid_report_descriptor.h"

#include <algorithm>
#include <map>

namespace keydeck {

namespace {

struct GlobalState {
    uint32_t usagePage = 0;
    uint32_t reportSize = 0;
    uint32_t reportCount = 0;
    uint8_t reportId = 0;
};

enum ReportKind { kInput, kOutput, kFeature, kKinds };

struct CollectionBits {
    HidTopLevelCollection collection;
    std::map<uint8_t, uint64_t> bits[kKinds];
};

uint32_t ItemValue(std::span<const uint8_t> data) {
    uint32_t value = 0;
    for (size_t i = 0; i < data.size(); ++i) value |= static_cast<uint32_t>(data[i]) << (8 * i);
    return value;
}

uint16_t ByteLength(const std::map<uint8_t, uint64_t>& bits) {
    uint64_t longest = 0;
    for (const auto& [id, count] : bits) longest = std::max(longest, count);
    if (bits.empty()) return 0;
    return static_cast<uint16_t>(std::min<uint64_t>((longest + 7) / 8 + 1, 0xFFFF));
}

}  // namespace

std::vector<HidTopLevelCollection> ParseHidReportDescriptor(std::span<const uint8_t> descriptor) {
    std::vector<CollectionBits> collections;
    GlobalState global;
    std::vector<GlobalState> stack;
    std::vector<uint32_t> usages;
    int depth = 0;

    size_t pos = 0;
    while (pos < descriptor.size()) {
        const uint8_t prefix = descriptor[pos];
        if (prefix == 0xFE) {  // long item: size, tag, data
            if (pos + 1 >= descriptor.size()) break;
            pos += 3 + descriptor[pos + 1];
            continue;
        }
        const size_t size = (prefix & 3) == 3 ? 4 : (prefix & 3);
        if (pos + 1 + size > descriptor.size()) break;
        const auto data = descriptor.subspan(pos + 1, size);
        const uint32_t value = ItemValue(data);
        const int type = (prefix >> 2) & 3;
        const int tag = prefix >> 4;
        pos += 1 + size;

        if (type == 1) {  // global
            switch (tag) {
                case 0:
                    global.usagePage = value;
                    break;
                case 7:
                    global.reportSize = value;
                    break;
                case 8:
                    global.reportId = static_cast<uint8_t>(value);
                    break;
                case 9:
                    global.reportCount = value;
                    break;
                case 10:
                    stack.push_back(global);
                    break;
                case 11:
                    if (!stack.empty()) {
                        global = stack.back();
                        stack.pop_back();
                    }
                    break;
                default:
                    break;
            }
        } else if (type == 2) {  // local
            if (tag == 0) usages.push_back(size == 4 ? value : (global.usagePage << 16) | value);
        } else if (type == 0) {  // main
            if (tag == 10) {     // collection
                if (depth == 0) {
                    CollectionBits& c = collections.emplace_back();
                    const uint32_t usage = usages.empty() ? global.usagePage << 16 : usages.front();
                    c.collection.caps.usagePage = static_cast<uint16_t>(usage >> 16);
                    c.collection.caps.usage = static_cast<uint16_t>(usage & 0xFFFF);
                }
                ++depth;
            } else if (tag == 12) {  // end collection
                if (depth > 0) --depth;
            } else if ((tag == 8 || tag == 9 || tag == 11) && depth > 0 && !collections.empty()) {
                const ReportKind kind = tag == 8 ? kInput : (tag == 9 ? kOutput : kFeature);
                CollectionBits& c = collections.back();
                c.bits[kind][global.reportId] +=
                    static_cast<uint64_t>(global.reportSize) * global.reportCount;
                auto& ids = c.collection.reportIds;
                if (global.reportId != 0 &&
                    std::find(ids.begin(), ids.end(), global.reportId) == ids.end()) {
                    ids.push_back(global.reportId);
                }
            }
            usages.clear();
        }
    }

    std::vector<HidTopLevelCollection> result;
    for (CollectionBits& c : collections) {
        c.collection.caps.inputReportByteLength = ByteLength(c.bits[kInput]);
        c.collection.caps.outputReportByteLength = ByteLength(c.bits[kOutput]);
        c.collection.caps.featureReportByteLength = ByteLength(c.bits[kFeature]);
        result.push_back(std::move(c.collection));
    }
    return result;
}

}  // namespace keydeck
