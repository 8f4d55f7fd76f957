#include <QMouseEvent>
#include <fstream>
#include <set>

#include "tests/support/temp_dir.h"
#include "tests/ui/ui_fixture.h"
#include "ui/widgets/coord_button_image.h"

namespace keydeck {
namespace {

TEST(ButtonColorTest, ParsesLikeTheCoordinatesFileIntends) {
    const struct {
        const char* text;
        uint32_t color;
    } cases[] = {
        {"#FF0000FF", 0xFF0000FF},   {"FF 00 00 FF", 0xFF0000FF}, {"# FF00 00FF ", 0xFF0000FF},
        {"0000FF", 0x000000FF},      {"zz", kDefaultButtonColor}, {"", kDefaultButtonColor},
        {"##", kDefaultButtonColor},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseButtonColor(c.text), c.color) << c.text;
    EXPECT_EQ(ButtonColorToQColor(0xFF0000FF), QColor(255, 0, 0, 255));
    EXPECT_EQ(ButtonColorToQColor(0x000000FF).alpha(), 0);
}

TEST(ButtonRectTest, ReadsXYWidthHeight) {
    CoordButton b;
    ParseButtonRect("10, 20, 30, 40", b);
    EXPECT_EQ((std::array{b.left, b.top, b.right, b.bottom}), (std::array{10, 20, 40, 60}));
    EXPECT_FALSE(b.Contains(40, 30));
    EXPECT_TRUE(b.Contains(39, 59));
    EXPECT_TRUE(b.Contains(10, 20));
    EXPECT_FALSE(b.Contains(10, 60));
    ParseButtonRect("5,x,7,8", b);  // unreadable numbers count as 0
    EXPECT_EQ((std::array{b.left, b.top, b.right, b.bottom}), (std::array{5, 0, 5, 0}));
}

class RecordingListener : public ICoordButtonClickListener {
public:
    struct Call {
        int32_t id;
        bool up;
    };
    bool OnCoordButtonClick(int32_t id, QString /*name*/, bool up, uint32_t /*flags*/,
                            QPoint /*point*/) override {
        calls.push_back({id, up});
        return answer;
    }
    std::vector<Call> calls;
    bool answer = false;
};

class CoordButtonImageTest : public UiFixture {
protected:
    // Keys 1 and 2 overlap on x 20..29; key 3 has nothing but an id.
    void SetUp() override {
        UiFixture::SetUp();
        std::ofstream(dir_.path() / "keys.xml") << R"(<?xml version="1.0"?>
<positions>
  <key id="1" va="7" name="One" rect="0,0,30,10" color="#FF0000FF"/>
  <button id="2" name="Two" rect="20, 0, 30, 10" extra="ignored">text ignored</button>
  <k id="3"/>
  <k id="x" va="y"/>
</positions>)";
        context_.programDir = dir_.path();
        image_ = std::make_unique<CoordButtonImage>(context_, nullptr);
        ASSERT_EQ(image_->SetAttribute(u"CRDXML", QStringLiteral("/keys.xml")),
                  AttributeResult::kApplied);
        image_->OnCreated();
        image_->resize(60, 20);
        image_->SetClickListener(&listener_);
    }

    void Mouse(QEvent::Type type, int x, int y) {
        const QPointF at(x, y);
        const auto buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, image_->mapToGlobal(at), Qt::LeftButton, buttons,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(image_.get(), &event);
    }
    void Move(int x, int y) {
        QMouseEvent event(QEvent::MouseMove, QPointF(x, y), image_->mapToGlobal(QPointF(x, y)),
                          Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(image_.get(), &event);
    }
    void Click(int x, int y) {
        Mouse(QEvent::MouseButtonPress, x, y);
        Mouse(QEvent::MouseButtonRelease, x, y);
    }
    bool Checked(int32_t id) {
        CoordButton b;
        EXPECT_TRUE(image_->GetButton(id, &b));
        return b.checked;
    }

    TempDir dir_;
    std::unique_ptr<CoordButtonImage> image_;
    RecordingListener listener_;
};

TEST_F(CoordButtonImageTest, ReadsEveryChildInOrderWithDefaults) {
    const auto& keys = image_->Buttons();
    ASSERT_EQ(keys.size(), 4u);
    EXPECT_EQ(keys[0].va, 7);
    EXPECT_EQ(keys[0].color, 0xFF0000FFu);
    EXPECT_EQ(keys[1].name, QStringLiteral("Two"));
    EXPECT_EQ(keys[1].right, 50);
    EXPECT_EQ(keys[2].va, -1);
    EXPECT_EQ(keys[2].color, kDefaultButtonColor);
    EXPECT_TRUE(keys[2].name.isEmpty());
    EXPECT_EQ(keys[3].id, 0);
    EXPECT_EQ(keys[3].va, 0);
    EXPECT_TRUE(image_->IsClass(u"cbimg"));
    EXPECT_TRUE(image_->IsClass(u"window"));
    EXPECT_FALSE(image_->IsClass(u"button"));
}

TEST_F(CoordButtonImageTest, MissingOrBrokenFileLeavesNoKeys) {
    std::ofstream(dir_.path() / "bad.xml") << "<positions><key";
    for (const char* file : {"bad.xml", "none.xml"}) {
        CoordButtonImage image(context_, nullptr);
        image.SetAttribute(u"crdxml", QString::fromLatin1(file));
        image.OnCreated();
        EXPECT_TRUE(image.Buttons().empty()) << file;
    }
}

TEST_F(CoordButtonImageTest, TooltipTakesTheLastKeyAndHitTheFirst) {
    Move(25, 5);
    EXPECT_EQ(image_->toolTip(), QStringLiteral("Two"));
    EXPECT_TRUE(image_->Buttons()[0].hover);
    EXPECT_TRUE(image_->Buttons()[1].hover);
    image_->SetButtonText(2, QStringLiteral("Macro A"));
    Move(25, 5);
    EXPECT_EQ(image_->toolTip(), QStringLiteral("Macro A"));
    Move(55, 5);
    EXPECT_TRUE(image_->toolTip().isEmpty());
    Click(25, 5);
    ASSERT_EQ(listener_.calls.size(), 2u);
    EXPECT_EQ(listener_.calls[0].id, 1);
    EXPECT_FALSE(listener_.calls[0].up);
    EXPECT_TRUE(listener_.calls[1].up);
}

TEST_F(CoordButtonImageTest, LeaveClearsHover) {
    Move(5, 5);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(image_.get(), &leave);
    EXPECT_FALSE(image_->Buttons()[0].hover);
    EXPECT_TRUE(image_->toolTip().isEmpty());
}

TEST_F(CoordButtonImageTest, SelectionModes) {
    // Mode 0 never selects.
    Click(5, 5);
    EXPECT_FALSE(Checked(1));
    // Mode 1: the clicked key is the only checked one, even when clicked again.
    image_->SetAttribute(u"type", QStringLiteral("0x1"));
    image_->SetButtonChecked(3, true);
    Click(5, 5);
    Click(5, 5);
    EXPECT_TRUE(Checked(1));
    EXPECT_FALSE(Checked(3));
    // Mode 2 toggles.
    image_->SetAttribute(u"type", QStringLiteral("2"));
    Click(35, 5);
    EXPECT_TRUE(Checked(1));
    EXPECT_TRUE(Checked(2));
    Click(35, 5);
    EXPECT_FALSE(Checked(2));
    EXPECT_EQ(image_->SetAttribute(u"type", QStringLiteral("two")), AttributeResult::kBadValue);
}

TEST_F(CoordButtonImageTest, ListenerThatHandlesTheClickKeepsTheSelection) {
    image_->SetAttribute(u"type", QStringLiteral("2"));
    listener_.answer = true;
    Mouse(QEvent::MouseButtonPress, 5, 5);
    EXPECT_FALSE(Checked(1));
    EXPECT_TRUE(image_->Buttons()[0].pressed);
    Mouse(QEvent::MouseButtonRelease, 5, 5);
    ASSERT_EQ(listener_.calls.size(), 2u);
    EXPECT_TRUE(listener_.calls[1].up);
    EXPECT_FALSE(image_->Buttons()[0].pressed);
}

TEST_F(CoordButtonImageTest, ReleaseOverAnotherKeyIsNotReported) {
    Mouse(QEvent::MouseButtonPress, 5, 5);
    Mouse(QEvent::MouseButtonRelease, 35, 5);
    ASSERT_EQ(listener_.calls.size(), 1u);
    EXPECT_FALSE(listener_.calls[0].up);
    // The first key's press ended there: a later bare release over it is no click.
    Mouse(QEvent::MouseButtonRelease, 5, 5);
    EXPECT_EQ(listener_.calls.size(), 1u);
    Mouse(QEvent::MouseButtonPress, 55, 5);  // no key
    EXPECT_EQ(listener_.calls.size(), 1u);
}

TEST_F(CoordButtonImageTest, SettersAddressTheFirstKeyOrAll) {
    image_->SetButtonText(kAllButtons, QStringLiteral("t"));
    for (const auto& b : image_->Buttons()) EXPECT_EQ(b.text, QStringLiteral("t"));
    image_->SetButtonText(kAllButtons, QString());
    Move(25, 5);
    EXPECT_EQ(image_->toolTip(), QStringLiteral("Two"));
    image_->ToggleButtonChecked(kAllButtons);
    for (const auto& b : image_->Buttons()) EXPECT_TRUE(b.checked);
    image_->ToggleButtonChecked(2);
    EXPECT_FALSE(Checked(2));
    EXPECT_TRUE(Checked(1));
    image_->SetButtonChecked(99, false);  // no such key: nothing changes
    EXPECT_TRUE(Checked(1));
    CoordButton untouched;
    untouched.name = QStringLiteral("keep");
    EXPECT_FALSE(image_->GetButton(99, &untouched));
    EXPECT_EQ(untouched.name, QStringLiteral("keep"));
    EXPECT_TRUE(image_->GetButton(1, nullptr));
}

TEST_F(CoordButtonImageTest, PicturesThatDoNotLoadKeepThePreviousOne) {
    EXPECT_EQ(image_->SetAttribute(u"bg", QStringLiteral("main:img_keboard_normal_png")),
              AttributeResult::kApplied);
    EXPECT_EQ(image_->sizeHint(), QSize(910, 283));
    EXPECT_EQ(image_->SetAttribute(u"bg", QStringLiteral("main:none")), AttributeResult::kBadValue);
    EXPECT_EQ(image_->sizeHint(), QSize(910, 283));
}

// The shipped coordinates file: the full keyboard with the table's codes.
TEST_F(CoordButtonImageTest, ShippedKeyboardHasEveryKey) {
    const auto keys = ReadCoordButtons(std::filesystem::path(KEYDECK_SOURCE_DIR) /
                                       "uires/keyboard/positions.xml");
    ASSERT_EQ(keys.size(), 104u);
    std::set<int32_t> ids;
    for (const auto& k : keys) {
        ids.insert(k.id);
        EXPECT_FALSE(k.name.isEmpty());
        EXPECT_GT(k.right, k.left);
    }
    EXPECT_EQ(ids.size(), 104u);
    EXPECT_TRUE(ids.count(0x10D));  // the pad's Enter, extended
    EXPECT_TRUE(ids.count(0x0D));
}

}  // namespace
}  // namespace keydeck
