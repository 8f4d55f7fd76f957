#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>

#include "app/widget_ids.h"
#include "tests/ui/ui_fixture.h"
#include "ui/framework/menu.h"
#include "ui/framework/widget_kind.h"
#include "ui/framework/widget_lookup.h"
#include "ui/main_window/main_dlg.h"
#include "ui/widgets/coord_button_image.h"

namespace keydeck {
namespace {

struct Required {
    const char* name;
    const char* kind;
};

// Every widget the main window and its panels look up, with its kind.
const Required kMainWidgets[] = {
    {"title", "window"},
    {"btn_more", "imgbtn"},
    {"btn_min", "button"},
    {"btn_close", "button"},
    {"zh_cn", "button"},
    {"jp", "button"},
    {"img_keyboard", "cbimg"},
    {"cbx_color_effect", "combobox"},
    {"tab_color_effect", "tabctrl"},
    {"cbx_in_lv", "combobox"},
    {"bar_general_speed_0", "sliderbar"},
    {"bar_const_brightness_0", "sliderbar"},
    {"radio_direction_left_0", "radio"},
    {"radio_direction_right_0", "radio"},
    {"bar_general_speed_1", "sliderbar"},
    {"bar_const_brightness_1", "sliderbar"},
    {"bar_const_brightness_2", "sliderbar"},
    {"bar_general_speed_3", "sliderbar"},
    {"bar_const_brightness_3", "sliderbar"},
    {"radio_loader_left_3", "radio"},
    {"radio_loader_center_3", "radio"},
    {"radio_loader_right_3", "radio"},
    {"btn_restore_factory", "button"},
    {"version", "text"},
    {"cbx_side_color_effect", "combobox"},
    {"text_side_brightness", "window"},
    {"bar_side_brightness", "sliderbar"},
    {"tray", "shellnotifyicon"},
    {"logo", "anmimg"},
};

// Every widget of the macro editor and its lists' row templates.
const Required kMacroWidgets[] = {
    {"btnMin", "button"},
    {"btnRestore", "button"},
    {"btnCancel", "button"},
    {"btnOK", "button"},
    {"btnDelete", "button"},
    {"text_recording_keys", "text"},
    {"tab_macro_mode_selection", "tabctrl2"},
    {"item_up", "button"},
    {"item_down", "button"},
    {"item_delete", "button"},
    {"item_clear", "button"},
    {"groupDel", "button"},
    {"groupAdd", "button"},
    {"groupImport", "button"},
    {"groupExport", "button"},
    {"macro_group", "listview"},
    {"group_name", "edit"},
    {"key_info", "mclistview"},
    {"col1", "window"},
    {"col2", "window"},
    {"col3", "window"},
    {"col4", "window"},
    {"key_code", "text"},
    {"key_name", "text"},
    {"key_state", "text"},
    {"key_delay", "editex"},
    {"edit_macro_repeat_times", "edit"},
    {"edit_macro_delay_time", "edit"},
    {"chk_macro_realy_delay", "radio"},
    {"chk_macro_fixed_delay", "radio"},
    {"chk_macro_no_delay", "radio"},
    {"chk_macro_record", "checkex"},
    {"chk_single_record", "checkex"},
    {"edit_single_key", "text"},
    {"cmb_media_keys", "combobox"},
    {"cmb_function_keys", "combobox"},
};

using LayoutTest = UiFixture;

TEST_F(LayoutTest, MainWindowHoldsEveryWidgetWithItsKind) {
    auto root = LoadLayout(u"LAYOUT:XML_MAINWND");
    ASSERT_NE(root, nullptr);
    for (const auto& [name, kind] : kMainWidgets) {
        EXPECT_NE(FindWidget(root.get(), QString::fromLatin1(name), QString::fromLatin1(kind)),
                  nullptr)
            << name << " as " << kind;
    }
    auto* tabs = FindWidgetAs<QTabWidget>(root.get(), u"tab_color_effect", u"tabctrl");
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->count(), 4);
}

TEST_F(LayoutTest, MacroEditorHoldsEveryWidgetWithItsKind) {
    auto root = LoadLayout(u"LAYOUT:macro");
    ASSERT_NE(root, nullptr);
    for (const auto& [name, kind] : kMacroWidgets) {
        EXPECT_NE(FindWidget(root.get(), QString::fromLatin1(name), QString::fromLatin1(kind)),
                  nullptr)
            << name << " as " << kind;
    }
    auto* tabs = FindWidgetAs<QTabWidget>(root.get(), u"tab_macro_mode_selection", u"tabctrl");
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->count(), 4);
    for (int i = 0; i < tabs->count(); ++i) EXPECT_TRUE(IsWidgetKind(tabs->widget(i), u"page2"));
}

TEST_F(LayoutTest, EveryNamedWidgetOfTheLayoutsFindsItsId) {
    auto main = LoadLayout(u"LAYOUT:XML_MAINWND");
    auto macro = LoadLayout(u"LAYOUT:macro");
    int found = 0;
    for (const auto& entry : WidgetIdTable()) {
        const QString name = QString::fromUtf8(entry.name.data(), entry.name.size());
        for (QWidget* root : {main.get(), macro.get()}) {
            if (root->findChild<QWidget*>(name) == nullptr) continue;
            EXPECT_EQ(FindWidget(root, entry.id, u"window"), FindWidget(root, name, u"window"));
            ++found;
        }
    }
    // Everything but "_name_start" and the message box's own names.
    EXPECT_GE(found, 58);
}

TEST_F(LayoutTest, LookupByIdChecksTheKind) {
    auto root = LoadLayout(u"LAYOUT:XML_MAINWND");
    EXPECT_NE(FindWidgetAs<CoordButtonImage>(root.get(), 0x10003, u"cbimg"), nullptr);
    EXPECT_NE(FindWidget(root.get(), 0x10004, u"combobox"), nullptr);
    EXPECT_EQ(FindWidget(root.get(), 0x10004, u"sliderbar"), nullptr);
    EXPECT_EQ(FindWidget(root.get(), u"cbx_color_effect", u"cbimg"), nullptr);
    EXPECT_EQ(FindWidget(root.get(), u"no_such_widget", u"window"), nullptr);
    EXPECT_EQ(FindWidget(root.get(), 0x7000, u"window"), nullptr);
    EXPECT_EQ(WidgetIdOf(u"btnDelete"), 0x1003B);
}

TEST_F(LayoutTest, MissingLayoutLoadsNothingAndSaysSo) {
    const LayoutLoader loader(registry_, context_);
    EXPECT_EQ(loader.Load(u"LAYOUT:none"), nullptr);
    EXPECT_GT(loader.LastProblemCount(), 0);
}

TEST_F(LayoutTest, LanguageSwitchRetranslatesALoadedWindow) {
    auto root = LoadLayout(u"LAYOUT:XML_MAINWND");
    auto* label = root->findChild<QLabel*>(QStringLiteral("text_side_brightness"));
    auto* tabs = root->findChild<QTabWidget*>(QStringLiteral("tab_color_effect"));
    ASSERT_NE(label, nullptr);
    ASSERT_TRUE(Translators().SetLanguage(resources_, true));
    QCoreApplication::processEvents();
    EXPECT_EQ(label->text(), QString::fromUtf8("亮度"));
    EXPECT_EQ(tabs->tabText(1), QString::fromUtf8("呼吸"));
    ASSERT_TRUE(Translators().SetLanguage(resources_, false));
    QCoreApplication::processEvents();
    EXPECT_EQ(label->text(), QStringLiteral("Brightness"));
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("Breathing"));
}

TEST_F(LayoutTest, BothTablesTranslateTheSameStrings) {
    XmlTranslator cn;
    XmlTranslator en;
    ASSERT_TRUE(cn.LoadXml(resources_.Read(u"translator:lang_cn")));
    ASSERT_TRUE(en.LoadXml(resources_.Read(u"translator:lang_en")));
    EXPECT_EQ(cn.Name(), en.Name());  // so one replaces the other
    EXPECT_EQ(cn.Size(), en.Size());
    for (const char* text : {"Warning", "Please insert USB device", "Exit", "Speed", "Firmware"}) {
        EXPECT_FALSE(cn.Lookup(QString::fromLatin1(text)).isEmpty()) << text;
        EXPECT_EQ(en.Lookup(QString::fromLatin1(text)), QString::fromLatin1(text));
    }
}

class RecordingTarget : public ICommandTarget {
public:
    void OnCommand(int id) override { commands.push_back(id); }
    std::vector<int> commands;
};

TEST_F(LayoutTest, MenusCarryTheirCommandsToTheTarget) {
    for (const auto resource : {u"SMENUEX:menu_more", u"SMENU:menu_tray"}) {
        RecordingTarget target;
        auto menu = LoadMenu(resources_, resource, &target);
        ASSERT_NE(menu, nullptr);
        for (QAction* action : menu->actions()) {
            if (!action->isSeparator()) action->trigger();
        }
        EXPECT_EQ(target.commands, (std::vector<int>{1, 6}));
    }
}

TEST_F(LayoutTest, MainWindowButtonsAndCommands) {
    const LayoutLoader loader(registry_, context_);
    CMainDlg window(loader, context_, Translators(), resources_.StringAt(0));
    ASSERT_TRUE(window.Create());
    window.Initialise();
    window.show();
    EXPECT_EQ(window.property(CMainDlg::kInstanceProperty).toString(), resources_.StringAt(0));
    auto click = [&](const char* name) {
        auto* button = window.findChild<QAbstractButton*>(QString::fromLatin1(name));
        ASSERT_NE(button, nullptr) << name;
        button->click();
    };
    click("zh_cn");
    QCoreApplication::processEvents();
    EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("lbl_effect"))->text(),
              QString::fromUtf8("灯效"));
    click("jp");
    QCoreApplication::processEvents();
    EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("lbl_effect"))->text(),
              QStringLiteral("Effect"));
    QMenu* more = window.ShowMoreMenu();
    ASSERT_NE(more, nullptr);
    EXPECT_EQ(more->actions().size(), 3);
    more->close();
    click("btn_min");
    EXPECT_FALSE(window.isVisible());
    window.RestoreAndRaise();
    EXPECT_TRUE(window.isVisible());
    int firmwareChecks = 0;
    window.SetFirmwareCheckHandler([&] { ++firmwareChecks; });
    window.OnCommand(kCommandCheckFirmware);
    EXPECT_EQ(firmwareChecks, 1);
    window.OnCommand(kCommandClose);
    EXPECT_TRUE(window.isVisible());  // posted
    QCoreApplication::processEvents();
    EXPECT_FALSE(window.isVisible());
}

}  // namespace
}  // namespace keydeck
