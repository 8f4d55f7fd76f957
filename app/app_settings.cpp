#include "app/app_settings.h"

#include <cstring>

#include "platform/program_directories.h"
#include "stores/number_text.h"
#include "stores/xml_file.h"

namespace keydeck {
namespace {

std::vector<std::string_view> SplitSkippingEmpty(std::string_view text, char sep) {
    std::vector<std::string_view> parts;
    while (!text.empty()) {
        const size_t at = text.find(sep);
        const std::string_view part = text.substr(0, at);
        if (!part.empty()) parts.push_back(part);
        if (at == std::string_view::npos) break;
        text.remove_prefix(at + 1);
    }
    return parts;
}

}  // namespace

std::vector<std::pair<int32_t, int32_t>> ParseCombKeyCode(std::string_view text) {
    std::string compact;
    compact.reserve(text.size());
    for (const char c : text) {
        if (c != ' ') compact.push_back(c);
    }
    std::vector<std::pair<int32_t, int32_t>> keys;
    for (const std::string_view token : SplitSkippingEmpty(compact, ',')) {
        const std::vector<std::string_view> parts = SplitSkippingEmpty(token, ':');
        // A token of colons only holds no number at all.
        if (parts.empty()) continue;
        const int32_t second = parts.size() > 1 ? ParseSignedDecimal(parts[1]) : 0;
        keys.emplace_back(ParseSignedDecimal(parts[0]), second);
    }
    return keys;
}

void AppSettings::Load() {
    LoadFrom(GetProgramDirectories().SettingsFile());
}

bool AppSettings::LoadFrom(const std::filesystem::path& file) {
    document.reset();
    identity = DeviceIdentity{};
    chinese = false;
    funKeys.clear();
    combKeys.clear();

    if (!IsReadableFile(file) ||
        !document.load_file(file.c_str(), pugi::parse_default, pugi::encoding_auto)) {
        document.reset();
        return false;
    }

    chinese = std::strcmp(document.child("local").attribute("language").value(), "cn") == 0;

    const pugi::xml_node usb = document.child("usb");
    identity.vid = ParseSignedHex(usb.attribute("vid").value());
    identity.pid = ParseSignedHex(usb.attribute("pid").value());
    identity.interface = ParseSignedHex(usb.attribute("interface").value());
    identity.subdevice = ParseSignedHex(usb.attribute("subdevice").value());

    for (const pugi::xml_node& child : document.child("funkey").children()) {
        if (child.type() != pugi::node_element) continue;
        FunKeyEntry entry;
        entry.name = child.attribute("name").value();
        if (entry.name.empty()) continue;
        entry.code = ParseUnsignedDecimal(child.attribute("code").value());
        entry.path = child.attribute("path").value();
        entry.argm = child.attribute("argm").value();
        funKeys.push_back(std::move(entry));
    }

    for (const pugi::xml_node& child : document.child("combkey").children()) {
        if (child.type() != pugi::node_element) continue;
        CombKeyEntry entry;
        entry.name = child.attribute("name").value();
        entry.keys = ParseCombKeyCode(child.attribute("code").value());
        combKeys.push_back(std::move(entry));
    }
    return true;
}

AppSettings& GetAppSettings() {
    static AppSettings settings;
    return settings;
}

}  // namespace keydeck
