#include "stores/key_names.h"

#include <gtest/gtest.h>

#include <set>

namespace keydeck {
namespace {

TEST(LookupKeyName, Cases) {
    struct Case {
        uint32_t vk;
        bool extended;
        std::optional<std::string_view> name;
    };
    const Case cases[] = {
        {0x0D, true, "Pad Enter"},     {0x0D, false, "Enter"},      {0xA3, true, "CtrlRight"},
        {0x2D, false, "Insert"},       {0x2D, true, "Insert"},      {0x0C, false, "Clear/Pad 5"},
        {0xDE, false, "\xE2\x80\x98"}, {0xAD, false, std::nullopt}, {0xAD, true, std::nullopt},
        {0x1B, false, "Esc"},          {0x26, true, "ArrowUp"},     {0xDC, false, "\\"},
        {0x6E, false, "Pad ."},        {0x10D, false, "Pad Enter"}, {0x00, false, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LookupKeyName(c.vk, c.extended), c.name) << std::hex << c.vk << c.extended;
    }
}

TEST(KeyNameTable, Shape) {
    EXPECT_EQ(KeyNameTable.size(), 115u);
    EXPECT_EQ(KeyNameTable[0].name, "Esc");
    EXPECT_EQ(KeyNameTable[90].vk, 0x10D);
    EXPECT_EQ(KeyNameTable[114].name, "Clear/Pad 5");
    std::set<std::string_view> names;
    int flagged = 0;
    for (const auto& e : KeyNameTable) {
        names.insert(e.name);
        if (e.vk & kExtendedKeyFlag) ++flagged;
    }
    EXPECT_EQ(names.size(), 115u);
    EXPECT_EQ(flagged, 1);
    // Rows 104..113 repeat earlier codes and so are never the lookup's answer.
    for (size_t row = 104; row < 114; ++row) {
        EXPECT_NE(LookupKeyName(KeyNameTable[row].vk, false), KeyNameTable[row].name) << row;
    }
}

TEST(MakeKeyCode, LowByteAndFlag) {
    EXPECT_EQ(MakeKeyCode(0x0D, true), 0x10Du);
    EXPECT_EQ(MakeKeyCode(0x1A3, false), 0xA3u);
    EXPECT_EQ(MakeKeyCode(0x41, false), 0x41u);
}

}  // namespace
}  // namespace keydeck
