#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleOptionButton>

#include "tests/ui/ui_fixture.h"
#include "ui/framework/widget_events.h"
#include "ui/widgets/anim_img.h"
#include "ui/widgets/check_box_ex.h"
#include "ui/widgets/edit_ex.h"
#include "ui/widgets/shell_notify_icon.h"
#include "ui/widgets/tab_ctrl2.h"

namespace keydeck {
namespace {

using WidgetsTest = UiFixture;

void Key(QWidget* widget, int key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(widget, &press);
}

TEST_F(WidgetsTest, EnterInEditExFiresKeyEnterAndLeavesTheText) {
    QWidget root;
    auto* edit = MakeChild<SEditEx>(&root);
    edit->setObjectName(QStringLiteral("key_delay"));
    std::vector<WidgetEvent> events;
    new EventHub(&root, [&](const WidgetEvent& e) { events.push_back(e); });
    Key(edit, Qt::Key_1, QStringLiteral("1"));
    Key(edit, Qt::Key_Return, QStringLiteral("\r"));
    Key(edit, Qt::Key_Enter, QStringLiteral("\r"));
    EXPECT_EQ(edit->text(), QStringLiteral("1"));
    int enters = 0;
    for (const auto& e : events) enters += e.kind == WidgetEventKind::kKeyEnter;
    EXPECT_EQ(enters, 2);
    EXPECT_EQ(events.back().name, QStringLiteral("key_delay"));
    EXPECT_EQ(events.back().id, 0x1002F);
}

TEST_F(WidgetsTest, ClickEnablesADisabledEditEx) {
    SEditEx edit(nullptr);
    edit.setEnabled(false);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&edit, &press);
    EXPECT_TRUE(edit.isEnabled());
    EXPECT_TRUE(edit.IsClass(u"edit"));
}

TEST(AnimationStateTest, EntryOfFourFramesTakesTwoHundredMilliseconds) {
    AnimationState anim;
    anim.interval = 50;
    anim.entryFrames = 4;
    anim.exitFrames = 3;
    anim.Start();
    anim.Hover();
    int elapsed = 0;
    while (anim.frame() < 3 && elapsed < 1000) {
        anim.Tick(10);
        elapsed += 10;
    }
    EXPECT_EQ(elapsed, 150);  // the last of four frames shows for the last 50 ms
    anim.Tick(10);
    EXPECT_EQ(anim.phase(), AnimationState::kEntry);  // held while hovered
    anim.Leave();
    anim.Tick(10);
    EXPECT_EQ(anim.phase(), AnimationState::kExit);
    for (int i = 0; i < 10; ++i) anim.Tick(10);
    EXPECT_EQ(anim.phase(), AnimationState::kRest);
}

TEST(AnimationStateTest, AutorunPlaysAfterTheWaitAndAgainAfterEachRun) {
    AnimationState anim;
    anim.interval = 50;
    anim.entryFrames = 4;
    anim.autorunSeconds = 3;
    anim.Start();
    std::vector<int> starts;
    auto phase = anim.phase();
    for (int t = 10; t <= 7000; t += 10) {
        anim.Tick(10);
        if (anim.phase() == AnimationState::kEntry && phase != AnimationState::kEntry) {
            starts.push_back(t);
        }
        phase = anim.phase();
    }
    // First after 3 s, then 3 s after the 200 ms run ended.
    EXPECT_EQ(starts, (std::vector<int>{3000, 6200}));
}

TEST_F(WidgetsTest, AnimImgFollowsTheFrameworkTick) {
    SAnimImg image(context_, nullptr);
    ASSERT_EQ(image.SetAttribute(u"ANI_IN", QStringLiteral("skin_logo_glow")),
              AttributeResult::kApplied);
    ASSERT_EQ(image.SetAttribute(u"interval", QStringLiteral("0x14")), AttributeResult::kApplied);
    EXPECT_EQ(image.SetAttribute(u"ani_out", QStringLiteral("no_skin")),
              AttributeResult::kBadValue);
    EXPECT_EQ(image.SetAttribute(u"speed", QStringLiteral("1")), AttributeResult::kUnknown);
    image.OnCreated();
    EXPECT_TRUE(timeline_.IsRegistered(&image));
    EXPECT_EQ(image.sizeHint(), QSize(32, 32));
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QCoreApplication::sendEvent(&image, &enter);
    timeline_.Tick();
    EXPECT_EQ(image.State().frame(), 0);
    timeline_.Tick();
    EXPECT_EQ(image.State().frame(), 1);  // 20 ms per frame
}

TEST_F(WidgetsTest, AnimImgLeavesTheTimelineWhenDestroyed) {
    auto image = std::make_unique<SAnimImg>(context_, nullptr);
    image->OnCreated();
    const ITimelineHandler* handler = image.get();
    image.reset();
    EXPECT_FALSE(timeline_.IsRegistered(handler));
}

TEST_F(WidgetsTest, CheckExMovesItsTextByTheIconAndOffsets) {
    SCheckBoxEx plain(context_, nullptr);
    plain.setText(QStringLiteral("Record"));
    SCheckBoxEx icon(context_, nullptr);
    icon.setText(QStringLiteral("Record"));
    ASSERT_EQ(icon.SetAttribute(u"iconSkin", QStringLiteral("skin_record")),
              AttributeResult::kApplied);  // 16 pixels wide
    ASSERT_EQ(icon.SetAttribute(u"ICONPOS", QStringLiteral("4,2")), AttributeResult::kApplied);
    plain.resize(200, 30);
    icon.resize(200, 30);
    EXPECT_EQ(icon.TextRect().topLeft() - plain.TextRect().topLeft(), QPoint(20, 2));
    ASSERT_EQ(icon.SetAttribute(u"textX", QStringLiteral("5")), AttributeResult::kApplied);
    ASSERT_EQ(icon.SetAttribute(u"texty", QStringLiteral("1")), AttributeResult::kApplied);
    EXPECT_EQ(icon.TextRect().topLeft() - plain.TextRect().topLeft(), QPoint(25, 3));
    EXPECT_EQ(icon.SetAttribute(u"textX", QStringLiteral("wide")), AttributeResult::kBadValue);
    EXPECT_TRUE(icon.IsClass(u"check"));
    EXPECT_FALSE(icon.IsClass(u"radio"));
}

TEST(IconFrameTest, FollowsTheCheckBoxFrameOrder) {
    EXPECT_EQ(IconTextExtras::IconFrame(false, true, false, false), 0);
    EXPECT_EQ(IconTextExtras::IconFrame(false, true, false, true), 1);
    EXPECT_EQ(IconTextExtras::IconFrame(false, true, true, true), 2);
    EXPECT_EQ(IconTextExtras::IconFrame(false, false, false, true), 3);
    EXPECT_EQ(IconTextExtras::IconFrame(true, true, false, false), 4);
    EXPECT_EQ(IconTextExtras::IconFrame(true, false, false, false), 7);
}

TEST_F(WidgetsTest, RadioExAndTabKindsAnswerTheirBases) {
    SRadioBoxEx radio(context_, nullptr);
    STabCtrl2 tabs(context_, nullptr);
    STabPage2 page(context_, nullptr);
    EXPECT_TRUE(radio.IsClass(u"radioex") && radio.IsClass(u"radio"));
    EXPECT_TRUE(tabs.IsClass(u"tabctrl2") && tabs.IsClass(u"tabctrl"));
    EXPECT_TRUE(page.IsClass(u"page2") && page.IsClass(u"page"));
    EXPECT_EQ(page.SetAttribute(u"ani_in", QStringLiteral("skin_logo_glow")),
              AttributeResult::kApplied);
    EXPECT_TRUE(page.EntrySkin().has_value());
}

TEST_F(WidgetsTest, NotifyIconTogglesItsWindowAndCutsTheTip) {
    QWidget window;
    auto* icon = MakeChild<SShellNotifyIcon>(&window, context_);
    ASSERT_EQ(icon->SetAttribute(u"tip", QString(200, u'x')), AttributeResult::kApplied);
    ASSERT_EQ(icon->SetAttribute(u"menu", QStringLiteral("SMENU:menu_tray")),
              AttributeResult::kApplied);
    EXPECT_EQ(icon->SetAttribute(u"duration", QStringLiteral("soon")), AttributeResult::kBadValue);
    icon->OnCreated();
    EXPECT_EQ(icon->Tip().size(), SShellNotifyIcon::kMaxTipLength);
    ASSERT_NE(icon->Menu(), nullptr);
    EXPECT_EQ(icon->TrayIcon()->toolTip().size(), SShellNotifyIcon::kMaxTipLength);
    window.show();
    icon->HandleActivation(QSystemTrayIcon::Trigger);
    EXPECT_FALSE(window.isVisible());
    icon->HandleActivation(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(window.isVisible());
}

}  // namespace
}  // namespace keydeck
