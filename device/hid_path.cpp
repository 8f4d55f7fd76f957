#include "device/hid_path.h"

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace keydeck {

namespace {

bool IsFieldChar(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Matches `prefix` (lower case) at `pos` ignoring case, then `width` field
// characters; on success returns the field and moves `pos` past it.
std::optional<std::string_view> MatchField(std::string_view path, size_t& pos,
                                           std::string_view prefix, size_t width) {
    if (path.size() - pos < prefix.size() + width) return std::nullopt;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (Lower(path[pos + i]) != prefix[i]) return std::nullopt;
    }
    const std::string_view field = path.substr(pos + prefix.size(), width);
    for (char c : field) {
        if (!IsFieldChar(c)) return std::nullopt;
    }
    pos += prefix.size() + width;
    return field;
}

// strtol semantics: leading hexadecimal digits, no digits give 0.
int32_t HexValue(std::optional<std::string_view> field) {
    if (!field) return -1;
    const std::string text(*field);
    return static_cast<int32_t>(std::strtol(text.c_str(), nullptr, 16));
}

}  // namespace

bool ParseHidInterfacePath(std::string_view path, int32_t* vendorId, int32_t* productId,
                           int32_t* interfaceNumber, int32_t* collectionNumber) {
    for (size_t start = 0; start < path.size(); ++start) {
        size_t pos = start;
        const auto vid = MatchField(path, pos, "hid#vid_", 4);
        if (!vid) continue;
        const auto pid = MatchField(path, pos, "&pid_", 4);
        if (!pid) continue;
        MatchField(path, pos, "&rev_", 4);
        const auto mi = MatchField(path, pos, "&mi_", 2);
        const auto col = MatchField(path, pos, "&col", 2);
        if (vendorId) *vendorId = HexValue(vid);
        if (productId) *productId = HexValue(pid);
        if (interfaceNumber) *interfaceNumber = HexValue(mi);
        if (collectionNumber) *collectionNumber = HexValue(col);
        return true;
    }
    return false;
}

bool ParseHidInterfacePath(std::string_view path, HidPathFields* fields) {
    if (fields == nullptr) return ParseHidInterfacePath(path, nullptr, nullptr, nullptr, nullptr);
    return ParseHidInterfacePath(path, &fields->vendorId, &fields->productId,
                                 &fields->interfaceNumber, &fields->collectionNumber);
}

std::string HidGuidLogText(const HidGuid& guid) {
    char tail[17];
    for (size_t i = 0; i < guid.data4.size(); ++i) {
        std::snprintf(tail + 2 * i, 3, "%02x", guid.data4[i]);
    }
    char text[50];
    std::snprintf(text, sizeof text, "%04x-%02x-%02x-%s", guid.data1, guid.data2, guid.data3, tail);
    return text;
}

}  // namespace keydeck
