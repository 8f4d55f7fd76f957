#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

namespace keydeck {

inline constexpr int32_t kSideModeCount = 12;

// One side-light mode's level (a speed for modes 0..2, a brightness for the
// rest). A 4-bit field: assigning a wider value keeps its low four bits, as
// the side-light report carries the level in one nibble.
struct SideModeEntry {
    uint8_t level : 4 = 0;

    friend bool operator==(const SideModeEntry& a, const SideModeEntry& b) {
        return a.level == b.level;
    }
};

// The side light's modes and the current one, kept in "sidemodel.xml".
class SideLightStore {
public:
    // Starts at the factory values with no path.
    SideLightStore();

    // False when `path` is empty (nothing changes) or the file cannot be parsed;
    // in the latter case the factory values are set and saved.
    bool Load(const std::filesystem::path& path);
    // Writes the whole store to the loaded path; false (memory unchanged) on failure.
    bool Save();
    // The file form Save writes.
    std::string Serialize() const;

    // Index -1 means the current mode; anything outside 0..11 gives nullptr.
    SideModeEntry* GetEntry(int32_t index);
    const SideModeEntry* GetEntry(int32_t index) const;

    // Sets sel, then saves; returns the save's result.
    bool SetCurrent(int32_t index);
    // Levels 4, 4, 4, then 7 for the other modes, sel 0, then saves.
    bool ResetToDefaults();

    static uint8_t FactoryLevel(int32_t mode) { return mode < 3 ? 4 : 7; }

    const std::filesystem::path& path() const { return path_; }
    const std::array<SideModeEntry, kSideModeCount>& entries() const { return entries_; }

    // Current mode; read and written directly by the lighting panel. May be 12
    // after a load, for which GetEntry(-1) gives nullptr.
    int32_t sel = 0;

private:
    void SetFactoryValues();

    std::filesystem::path path_;
    std::array<SideModeEntry, kSideModeCount> entries_{};
};

// The process-wide store, created on first use.
SideLightStore& GetSideLightStore();

}  // namespace keydeck
