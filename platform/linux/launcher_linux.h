#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace keydeck {

// Splits `text` into words as a POSIX shell does, without expansions: blanks
// separate words, single quotes keep everything, double quotes keep all but
// backslash escapes of \ " $ `, a backslash outside quotes escapes the next
// character. None when a quote is left open.
std::optional<std::vector<std::string>> SplitShellWords(std::string_view text);

// Starts argv[0] (searched in PATH when it has no slash) detached; the child is
// reaped in the background. False when it could not be started.
bool SpawnDetached(const std::vector<std::string>& argv);
// Runs argv and waits; true when it exited with status 0.
bool RunAndWait(const std::vector<std::string>& argv);

}  // namespace keydeck
