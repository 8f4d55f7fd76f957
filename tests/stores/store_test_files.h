#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace keydeck::testing {

inline std::string ReadBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline std::filesystem::path Fixture(const char* name) {
    return std::filesystem::path(KEYDECK_TEST_DATA_DIR) / "stores" / name;
}

inline int CountFiles(const std::filesystem::path& dir) {
    int n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir)) ++n;
    return n;
}

}  // namespace keydeck::testing
