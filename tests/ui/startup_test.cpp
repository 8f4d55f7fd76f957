#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/shell/startup.h"

namespace keydeck {
namespace {

bool Hidden(std::vector<std::string> args) {
    args.insert(args.begin(), "keydeck");
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(arg.data());
    return StartsHidden(static_cast<int>(argv.size()), argv.data());
}

TEST(StartupTest, OnlyExactlyHidStartsHidden) {
    EXPECT_TRUE(Hidden({"-hid"}));
    for (const auto& args : std::vector<std::vector<std::string>>{{},
                                                                  {"-HID"},
                                                                  {"-Hid"},
                                                                  {" -hid"},
                                                                  {"-hid "},
                                                                  {"--hid"},
                                                                  {"-hid", "x"},
                                                                  {"x", "-hid"}}) {
        EXPECT_FALSE(Hidden(args)) << (args.empty() ? "" : args[0]);
    }
}

}  // namespace
}  // namespace keydeck
