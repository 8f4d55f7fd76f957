#include "platform/program_directories.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "tests/support/temp_dir.h"

namespace keydeck {
namespace {

EnvLookup Env(std::map<std::string, std::string> vars) {
    return [vars](const char* name) -> std::optional<std::string> {
        auto it = vars.find(name);
        if (it == vars.end()) return std::nullopt;
        return it->second;
    };
}

TEST(ResolveProgramDirectories, PortableLayoutKeepsEverythingBesideTheExecutable) {
    TempDir dir;
    const auto bin = dir.path() / "bin";
    std::filesystem::create_directories(bin / "uires");
    for (bool unix : {false, true}) {
        const auto d = ResolveProgramDirectories(bin, unix, Env({{"HOME", "/home/u"}}));
        EXPECT_EQ(d.resources, bin);
        EXPECT_EQ(d.settings, bin);
        EXPECT_EQ(d.stores, bin);
        EXPECT_EQ(d.StoreFile("macro.xml"), bin / "macro.xml");
    }
    // Windows never uses the installed layout, with or without "uires".
    const auto bare = dir.path() / "bare";
    EXPECT_EQ(ResolveProgramDirectories(bare, false, Env({})).stores, bare);
}

TEST(ResolveProgramDirectories, InstalledLayoutSplitsResourcesAndUserFiles) {
    TempDir dir;
    const auto bin = dir.path() / "usr" / "bin";
    std::filesystem::create_directories(bin);
    const auto share = dir.path() / "usr" / "share" / "keydeck";

    auto d = ResolveProgramDirectories(bin, true, Env({{"HOME", "/home/u"}}));
    EXPECT_EQ(d.resources, share);
    EXPECT_EQ(d.settings, share);
    EXPECT_EQ(d.stores, std::filesystem::path("/home/u/.config/keydeck"));

    const auto xdg = dir.path() / "xdg";
    d = ResolveProgramDirectories(bin, true, Env({{"HOME", "/home/u"}, {"XDG_CONFIG_HOME", xdg.string()}}));
    EXPECT_EQ(d.stores, xdg / "keydeck");
    EXPECT_EQ(d.settings, share);

    // A relative XDG_CONFIG_HOME is invalid and ignored.
    d = ResolveProgramDirectories(bin, true, Env({{"HOME", "/home/u"}, {"XDG_CONFIG_HOME", "rel"}}));
    EXPECT_EQ(d.stores, std::filesystem::path("/home/u/.config/keydeck"));

    // The user's own config.xml wins over the packaged one.
    std::filesystem::create_directories(xdg / "keydeck");
    { std::ofstream(xdg / "keydeck" / "config.xml") << "<usb/>"; }
    d = ResolveProgramDirectories(bin, true, Env({{"XDG_CONFIG_HOME", xdg.string()}}));
    EXPECT_EQ(d.settings, xdg / "keydeck");
    EXPECT_EQ(d.SettingsFile(), xdg / "keydeck" / "config.xml");
}

}  // namespace
}  // namespace keydeck
