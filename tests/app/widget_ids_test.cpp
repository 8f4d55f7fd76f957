#include "app/widget_ids.h"

#include <gtest/gtest.h>

#include <set>

namespace keydeck {
namespace {

TEST(WidgetIds, KnownRows) {
    struct Case {
        const char* name;
        int32_t id;
    };
    const Case cases[] = {
        {"_name_start", 0xFFFF},
        {"title", 0x10000},
        {"btn_more", 0x10001},
        {"img_keyboard", 0x10003},
        {"cbx_color_effect", 0x10004},
        {"bar_general_speed_0", 0x10006},
        {"radio_direction_left_0", 0x10008},
        {"radio_loader_left_3", 0x1000F},
        {"version", 0x10014},
        {"cbx_side_color_effect", 0x10015},
        {"btnDelete", 0x1003B},
        {"button3rd", 0x10042},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WidgetIdByName(c.name), c.id) << c.name;
        EXPECT_EQ(WidgetNameById(c.id), c.name) << c.name;
    }
    EXPECT_EQ(WidgetIdByName("btn_close"), std::nullopt);
    EXPECT_EQ(WidgetIdByName("Title"), std::nullopt);
    EXPECT_EQ(WidgetNameById(0x10043), std::nullopt);
}

TEST(WidgetIds, TableIsSortedAndDense) {
    const auto& table = WidgetIdTable();
    ASSERT_EQ(table.size(), 68u);
    EXPECT_EQ(table[0].name, "_name_start");
    std::set<int32_t> ids;
    for (size_t i = 0; i < table.size(); ++i) {
        if (i > 0) {
            EXPECT_LT(table[i - 1].name, table[i].name);
        }
        ids.insert(table[i].id);
    }
    ASSERT_EQ(ids.size(), 68u);
    EXPECT_EQ(*ids.begin(), 0xFFFF);
    EXPECT_EQ(*ids.rbegin(), 0x10000 + 66);
}

}  // namespace
}  // namespace keydeck
