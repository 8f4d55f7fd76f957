#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

namespace keydeck {

inline constexpr int32_t kEffectCount = 22;

// Settings of one main-backlight effect. "deriction" is spelt as the file spells it.
struct LedEffectEntry {
    uint8_t brightness = 5;  // 0..5
    uint8_t speed = 1;       // 0..2
    uint8_t deriction = 0;   // 0..1
    uint8_t selection = 1;   // colour choice counted from 1; 0 for effects without one

    friend bool operator==(const LedEffectEntry&, const LedEffectEntry&) = default;
};

// The main backlight's effects and the current one, kept in "ledeffect.xml".
class LedEffectStore {
public:
    static constexpr int32_t kFactorySel = 20;

    // Starts at the factory values with no path.
    LedEffectStore();

    // False when `path` is empty (nothing changes) or the file cannot be parsed;
    // in the latter case the factory values are set and saved.
    bool Load(const std::filesystem::path& path);
    // Writes the whole store to the loaded path; false (memory unchanged) on failure.
    bool Save();
    // The file form Save writes.
    std::string Serialize() const;

    // Index -1 means the current effect; anything outside 0..21 gives nullptr.
    LedEffectEntry* GetEntry(int32_t index);
    const LedEffectEntry* GetEntry(int32_t index) const;

    // Sets sel, then saves; returns the save's result.
    bool SetCurrent(int32_t index);
    // Factory values for every entry and sel 20, then saves.
    bool ResetToDefaults();

    const std::filesystem::path& path() const { return path_; }
    const std::array<LedEffectEntry, kEffectCount>& entries() const { return entries_; }

    // Current effect; read and written directly by the lighting panel. May be
    // 22 after a load, for which GetEntry(-1) gives nullptr.
    int32_t sel = kFactorySel;

private:
    void SetFactoryValues();

    std::filesystem::path path_;
    std::array<LedEffectEntry, kEffectCount> entries_{};
};

// The process-wide store, created on first use.
LedEffectStore& GetLedEffectStore();

}  // namespace keydeck
