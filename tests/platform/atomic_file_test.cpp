#include "platform/atomic_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/support/temp_dir.h"

namespace keydeck {
namespace {

std::string ReadAll(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

TEST(WriteFileAtomically, CreatesAndReplacesWithoutLeavingTemporaries) {
    TempDir dir;
    const auto target = dir.path() / "store.xml";
    ASSERT_TRUE(WriteFileAtomically(target, "first"));
    EXPECT_EQ(ReadAll(target), "first");
    ASSERT_TRUE(WriteFileAtomically(target, std::string(100000, 'x')));
    EXPECT_EQ(ReadAll(target), std::string(100000, 'x'));
    ASSERT_TRUE(WriteFileAtomically(target, ""));
    EXPECT_EQ(ReadAll(target), "");
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++entries;
    EXPECT_EQ(entries, 1);
}

TEST(WriteFileAtomically, FailureLeavesTheOldFile) {
    TempDir dir;
    const auto target = dir.path() / "missing-dir" / "store.xml";
    EXPECT_FALSE(WriteFileAtomically(target, "data"));
    EXPECT_FALSE(std::filesystem::exists(target));

    // The target is a directory: the rename fails and the directory stays.
    const auto blocked = dir.path() / "blocked";
    std::filesystem::create_directory(blocked);
    std::ofstream(blocked / "inner") << "keep";
    EXPECT_FALSE(WriteFileAtomically(blocked, "data"));
    EXPECT_EQ(ReadAll(blocked / "inner"), "keep");
}

}  // namespace
}  // namespace keydeck
