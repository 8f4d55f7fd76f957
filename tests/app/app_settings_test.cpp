#include "app/app_settings.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/program_directories.h"
#include "tests/support/temp_dir.h"

namespace keydeck {
namespace {

using Keys = std::vector<std::pair<int32_t, int32_t>>;

std::filesystem::path Settings(const char* name) {
    return std::filesystem::path(KEYDECK_TEST_DATA_DIR) / "settings" / name;
}

std::filesystem::path WriteConfig(const TempDir& dir, const std::string& text) {
    const auto file = dir.path() / "config.xml";
    std::ofstream(file, std::ios::binary) << text;
    return file;
}

TEST(AppSettings, ReadsEveryField) {
    AppSettings s;
    ASSERT_TRUE(s.LoadFrom(Settings("full.xml")));
    EXPECT_TRUE(s.chinese);
    EXPECT_EQ(s.identity, (DeviceIdentity{0x1A2C, 0x6700, -1, 0x1A2C}));  // first "usb" only
    ASSERT_EQ(s.funKeys.size(), 3u);
    EXPECT_EQ(s.funKeys[0], (FunKeyEntry{"Volume up", 175, "", ""}));
    EXPECT_EQ(s.funKeys[1], (FunKeyEntry{"Calc", 10000, "calc.exe", "-x \"y\""}));
    EXPECT_EQ(s.funKeys[2], (FunKeyEntry{"No code", 0, "", ""}));
    ASSERT_EQ(s.combKeys.size(), 4u);
    EXPECT_EQ(s.combKeys[0], (CombKeyEntry{"Copy", {{17, 0}, {67, 10}}}));
    EXPECT_EQ(s.combKeys[1], (CombKeyEntry{"", {{91, 0}}}));
    EXPECT_EQ(s.combKeys[2], (CombKeyEntry{"Empty", {}}));
    EXPECT_EQ(s.combKeys[3], (CombKeyEntry{"Odd", {{17, 5}, {3, 0}}}));
    EXPECT_TRUE(s.document.child("usb"));
}

TEST(AppSettings, MissingOrMalformedFileLeavesDefaults) {
    TempDir dir;
    for (const char* text : {"", "<usb vid=\"1A2C\"", "not xml"}) {
        AppSettings s;
        s.LoadFrom(Settings("full.xml"));
        EXPECT_FALSE(s.LoadFrom(WriteConfig(dir, text))) << text;
        EXPECT_FALSE(s.chinese);
        EXPECT_EQ(s.identity, DeviceIdentity{});
        EXPECT_TRUE(s.funKeys.empty());
        EXPECT_TRUE(s.combKeys.empty());
    }
    AppSettings s;
    EXPECT_FALSE(s.LoadFrom(dir.path() / "absent.xml"));
    EXPECT_EQ(s.identity, DeviceIdentity{});
    EXPECT_FALSE(s.LoadFrom(dir.path()));  // a directory is no settings file
}

TEST(AppSettings, Language) {
    TempDir dir;
    struct Case {
        const char* element;
        bool chinese;
    };
    const Case cases[] = {{"<local language=\"cn\"/>", true},
                          {"<local language=\"CN\"/>", false},
                          {"<local language=\" cn\"/>", false},
                          {"<local language=\"en\"/>", false},
                          {"<local/>", false},
                          {"<usb/>", false}};
    for (const auto& c : cases) {
        AppSettings s;
        ASSERT_TRUE(s.LoadFrom(WriteConfig(dir, c.element))) << c.element;
        EXPECT_EQ(s.chinese, c.chinese) << c.element;
    }
}

TEST(AppSettings, UsbNumbersAreHexadecimal) {
    TempDir dir;
    struct Case {
        const char* element;
        DeviceIdentity identity;
    };
    const Case cases[] = {
        {"<usb vid=\"1A2C\"/>", {0x1A2C, 0, 0, 0}},
        {"<usb vid=\"0x1a2c\" pid=\"6700\"/>", {0x1A2C, 0x6700, 0, 0}},
        {"<usb vid=\"xyz\" pid=\" 10\" interface=\"-1\" subdevice=\"-0x2\"/>", {0, 0x10, -1, -2}},
        {"<other/><usb vid=\"1\"/><usb vid=\"2\"/>", {1, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        AppSettings s;
        ASSERT_TRUE(s.LoadFrom(WriteConfig(dir, c.element))) << c.element;
        EXPECT_EQ(s.identity, c.identity) << c.element;
    }
}

TEST(AppSettings, DetectsTheFileEncoding) {
    AppSettings utf16;
    ASSERT_TRUE(utf16.LoadFrom(Settings("utf16.xml")));
    EXPECT_TRUE(utf16.chinese);
    EXPECT_EQ(utf16.identity.vid, 0xABC);
    ASSERT_EQ(utf16.funKeys.size(), 1u);
    EXPECT_EQ(utf16.funKeys[0].name, "\xE9\x9F\xB3\xE9\x87\x8F");

    AppSettings latin1;
    ASSERT_TRUE(latin1.LoadFrom(Settings("latin1.xml")));
    ASSERT_EQ(latin1.funKeys.size(), 1u);
    EXPECT_EQ(latin1.funKeys[0].name, "L\xC3\xA4uter");
}

TEST(AppSettings, LoadReadsTheProgramDirectoriesFile) {
    TempDir dir;
    WriteConfig(dir, "<usb vid=\"5\" pid=\"6\"/>");
    SetProgramDirectoriesForTesting(ProgramDirectories{dir.path(), dir.path(), dir.path()});
    AppSettings s;
    s.Load();
    EXPECT_EQ(s.identity, (DeviceIdentity{5, 6, 0, 0}));
    EXPECT_EQ(&GetAppSettings(), &GetAppSettings());
}

TEST(AppSettings, ShippedDefaultsAreUsable) {
    AppSettings s;
    ASSERT_TRUE(s.LoadFrom(std::filesystem::path(KEYDECK_TEST_DATA_DIR) / ".." / ".." / "dist" /
                           "config.xml"));
    EXPECT_FALSE(s.chinese);
    EXPECT_EQ(s.identity.vid, 0x1A2C);
    EXPECT_EQ(s.identity.pid, 0x6700);
    EXPECT_GE(s.funKeys.size(), 7u);
    EXPECT_GE(s.combKeys.size(), 5u);
    for (const auto& c : s.combKeys) {
        EXPECT_FALSE(c.name.empty());
        EXPECT_FALSE(c.keys.empty()) << c.name;
    }
}

TEST(ParseCombKeyCode, Cases) {
    struct Case {
        const char* text;
        Keys keys;
    };
    const Case cases[] = {
        {"17:0, 67:10", {{17, 0}, {67, 10}}},
        {"91", {{91, 0}}},
        {", ,17:5,,", {{17, 5}}},
        {"", {}},
        {":::", {}},
        {"1:2:3", {{1, 2}}},
        {"a:b", {{0, 0}}},
        {"1 7 : 1 0", {{17, 10}}},
        {":5", {{5, 0}}},
        {"-1:-2", {{-1, -2}}},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseCombKeyCode(c.text), c.keys) << c.text;
}

}  // namespace
}  // namespace keydeck
