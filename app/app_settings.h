#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include <pugixml.hpp>

#include "device/device_identity.h"

namespace keydeck {

// A media key or program launcher of the "funkey" list.
struct FunKeyEntry {
    std::string name;
    uint32_t code = 0;  // below 10000 a virtual-key code, else a launcher id
    std::string path;
    std::string argm;

    friend bool operator==(const FunKeyEntry&, const FunKeyEntry&) = default;
};

// A key combination of the "combkey" list: (virtual-key code, step delay) pairs.
struct CombKeyEntry {
    std::string name;
    std::vector<std::pair<int32_t, int32_t>> keys;

    friend bool operator==(const CombKeyEntry&, const CombKeyEntry&) = default;
};

// The read-only settings of "config.xml".
class AppSettings {
public:
    AppSettings() = default;
    AppSettings(const AppSettings&) = delete;
    AppSettings& operator=(const AppSettings&) = delete;

    // Reads the settings file of the program's directories; a missing or bad
    // file leaves the defaults.
    void Load();
    // Resets to the defaults, then reads `file`; true when it was parsed.
    bool LoadFrom(const std::filesystem::path& file);

    pugi::xml_document document;
    DeviceIdentity identity;
    bool chinese = false;
    std::vector<FunKeyEntry> funKeys;
    std::vector<CombKeyEntry> combKeys;
};

// The process-wide settings, created empty on first use.
AppSettings& GetAppSettings();

// The "combkey" code text as pairs: blanks removed, split at ",", each token
// split at ":" into decimal first and second (0 when absent); empty tokens and
// tokens without any number part are skipped.
std::vector<std::pair<int32_t, int32_t>> ParseCombKeyCode(std::string_view text);

}  // namespace keydeck
