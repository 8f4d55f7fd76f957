#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "stores/key_assignment_store.h"
#include "stores/macro_step.h"

namespace keydeck {

// The macro editor's last settings.
struct MacroConfig {
    AssignmentType type = AssignmentType::Macro;
    int32_t repeat = 1;
    int32_t delay = 10;      // fixed delay in ms, used while mode is 1
    int32_t mode = 0;        // 0 real delays, 1 fixed delay, 2 no delay
    int32_t media = 0;       // index into the settings' "funkey" list
    int32_t function = 0;    // index into the settings' "combkey" list
    int32_t skcode = 0;      // virtual-key code captured on the single-key page
    int32_t group = 0;       // index of the selected macro
    bool recording = false;  // memory only; never in the file

    friend bool operator==(const MacroConfig&, const MacroConfig&) = default;
};

// A named macro. The step operations never save.
struct MacroGroup {
    std::string name;
    std::vector<MacroStep> steps;

    void AppendStep(int32_t code, int32_t state, int32_t delay, std::string stepName);
    // Out-of-range indices do nothing / return false.
    void DeleteStep(int32_t index);
    void ClearSteps() { steps.clear(); }
    bool MoveStepUp(int32_t index);
    bool MoveStepDown(int32_t index);

    friend bool operator==(const MacroGroup&, const MacroGroup&) = default;
};

// The macro library and the editor's settings, kept in "macro.xml".
class MacroStore {
public:
    MacroStore() = default;

    // False when `path` is empty or the file cannot be parsed; then config and
    // macros stay as they were and nothing is written.
    bool Load(const std::filesystem::path& path);
    // Writes the whole store to the loaded path; false (memory unchanged) on failure.
    bool Save();
    // The file form Save writes.
    std::string Serialize() const;

    // Appends an empty macro named "Macro <n>" (the first free n from the count
    // of macros), then saves; returns the save's result.
    bool AddGroup();
    // Removes the macro and saves; false (nothing changes) for a bad index.
    bool DeleteGroup(int32_t index);
    // Renames and saves; false without saving for a bad index or the same name.
    bool RenameGroup(int32_t index, std::string_view name);
    // A negative index means config.group; an index past the end gives nullptr.
    MacroGroup* GetGroup(int32_t index);
    const MacroGroup* GetGroup(int32_t index) const;

    // Back to the starting settings, without saving (factory restore).
    void ResetConfig() { config = MacroConfig{}; }

    const std::vector<MacroGroup>& groups() const { return groups_; }
    const std::filesystem::path& path() const { return path_; }

    // Changed directly by the macro editor, which saves when it should.
    MacroConfig config;

private:
    size_t StepCount() const;

    std::filesystem::path path_;
    std::vector<MacroGroup> groups_;
};

// The process-wide store, created on first use.
MacroStore& GetMacroStore();

}  // namespace keydeck
