#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "stores/macro_step.h"

namespace keydeck {

// What an assigned key does instead. Files may hold other values; they are kept.
enum class AssignmentType : int32_t { Macro = 0, Key = 1, Media = 2, Function = 3 };

// One reassigned key.
struct KeyRecord {
    int32_t code = 0;  // key code: virtual-key code plus kExtendedKeyFlag; kAllButtons for all
    AssignmentType type = AssignmentType::Macro;
    int32_t repeat = 0;  // Macro: times played per release; 0 otherwise
    std::string name;    // display name of the reassigned key
    std::string group;   // display name of what it is assigned to
    std::vector<MacroStep> items;

    friend bool operator==(const KeyRecord&, const KeyRecord&) = default;
};

// The key assignments, kept in "record.xml" (one top-level element per record).
class KeyAssignmentStore {
public:
    KeyAssignmentStore() = default;

    // False when `path` is empty or the file cannot be parsed; then the records
    // stay as they were and nothing is written.
    bool Load(const std::filesystem::path& path);
    // Writes the whole store to the loaded path; false (memory unchanged) on failure.
    bool Save();
    // The file form Save writes.
    std::string Serialize() const;

    // Replaces the first record with the same code in place (no save), or
    // appends the record and saves.
    void Upsert(const KeyRecord& record);
    // Removes the first record with that code; does not save.
    bool RemoveByCode(int32_t code);
    // Removes every record, then saves; returns the save's result.
    bool Clear();

    // First record with that code, or nullptr.
    const KeyRecord* FindByCode(int32_t code) const;

    const std::vector<KeyRecord>& records() const { return records_; }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
    std::vector<KeyRecord> records_;
};

// The process-wide store, created on first use.
KeyAssignmentStore& GetKeyAssignmentStore();

}  // namespace keydeck
