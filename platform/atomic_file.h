#pragma once

#include <filesystem>
#include <string_view>

namespace keydeck {

// Replaces `target` with `bytes` so that a crash at any moment leaves either the
// old or the new file: a temporary file beside it is written, flushed to disk
// and renamed over it. Returns false (and leaves the target alone) on failure.
bool WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes);

}  // namespace keydeck
