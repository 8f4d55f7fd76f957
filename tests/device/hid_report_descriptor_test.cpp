#include "platform/hid_report_descriptor.h"

#include <gtest/gtest.h>

namespace keydeck {
namespace {

// The keyboard's own layout: a vendor collection with feature and output
// report 7, then a keyboard collection with input report 1.
const uint8_t kTwoCollections[] = {
    0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x07, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75,
    0x08, 0x95, 0x07, 0x09, 0x01, 0xB1, 0x02, 0x09, 0x01, 0x91, 0x02, 0xC0, 0x05, 0x01, 0x09,
    0x06, 0xA1, 0x01, 0x85, 0x01, 0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7, 0x15, 0x00, 0x25, 0x01,
    0x75, 0x01, 0x95, 0x08, 0x81, 0x02, 0x95, 0x06, 0x75, 0x08, 0x81, 0x00, 0xC0,
};

TEST(HidReportDescriptor, SplitsTopLevelCollectionsWithTheirReportLengths) {
    const auto collections = ParseHidReportDescriptor(kTwoCollections);
    ASSERT_EQ(collections.size(), 2u);
    EXPECT_EQ(collections[0].caps, (HidCapabilities{0x01, 0xFF00, 0, 8, 8}));
    EXPECT_EQ(collections[0].reportIds, std::vector<uint8_t>{7});
    EXPECT_EQ(collections[1].caps, (HidCapabilities{0x06, 0x01, 8, 0, 0}));
    EXPECT_EQ(collections[1].reportIds, std::vector<uint8_t>{1});
}

TEST(HidReportDescriptor, NestedCollectionsBelongToTheirTopLevelOne) {
    const uint8_t mouse[] = {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x09, 0x01, 0xA1,
                             0x00, 0x75, 0x08, 0x95, 0x03, 0x81, 0x06, 0xC0, 0xC0};
    const auto collections = ParseHidReportDescriptor(mouse);
    ASSERT_EQ(collections.size(), 1u);
    EXPECT_EQ(collections[0].caps, (HidCapabilities{0x02, 0x01, 4, 0, 0}));
}

TEST(HidReportDescriptor, ExtendedUsageAndTruncationAreSafe) {
    const uint8_t extended[] = {0x0B, 0x01, 0x00, 0x0C, 0x00, 0xA1, 0x01, 0x75, 0x10, 0x95};
    const auto collections = ParseHidReportDescriptor(extended);
    ASSERT_EQ(collections.size(), 1u);
    EXPECT_EQ(collections[0].caps.usagePage, 0x0C);
    EXPECT_EQ(collections[0].caps.usage, 0x01);
    EXPECT_TRUE(ParseHidReportDescriptor({}).empty());
    const uint8_t longItem[] = {0xFE, 0x40};
    EXPECT_TRUE(ParseHidReportDescriptor(longItem).empty());
}

}  // namespace
}  // namespace keydeck
