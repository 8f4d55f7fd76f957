#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace keydeck {

// Text is UTF-8 in the core; paths are native (wide on Windows).
std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string PathToUtf8(const std::filesystem::path& path);

}  // namespace keydeck
