#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

#include "ui/framework/command_target.h"
#include "ui/framework/layout_loader.h"
#include "ui/framework/translator.h"
#include "ui/framework/widget_events.h"

class QMenu;

namespace keydeck {

// Menu command IDs the main window handles.
inline constexpr int kCommandCheckFirmware = 1;
inline constexpr int kCommandClose = 6;
// The message loop's result when the main window closes.
inline constexpr int kQuitCode = 1;

// The program's only top-level window, built from "LAYOUT:XML_MAINWND".
// This shell carries the window buttons, the language buttons, the "more"
// menu and the menu commands; the panels come with their own classes.
class CMainDlg final : public QWidget, public ICommandTarget {
    Q_OBJECT
public:
    CMainDlg(const LayoutLoader& loader, UiContext& context, TranslatorManager& translators,
             QString instanceName);
    ~CMainDlg() override;

    // Loads the layout into the window; false when it does not load.
    bool Create();
    // The window's initialisation, before it is first shown.
    void Initialise();
    void CentreOnScreen();
    // Brings the window back from hidden or minimised and raises it.
    void RestoreAndRaise();

    void OnCommand(int commandId) override;
    bool SetLanguage(bool chinese);
    // Opens the "more" menu under its button; returns the menu (tests).
    QMenu* ShowMoreMenu();
    QWidget* Root() const { return root_; }
    // Called by the firmware check command until the device layer lands.
    void SetFirmwareCheckHandler(std::function<void()> handler) {
        firmwareCheck_ = std::move(handler);
    }

    // The property name that marks the running instance's window.
    static constexpr const char* kInstanceProperty = "keydeckInstance";

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnEvent(const WidgetEvent& event);

    const LayoutLoader& loader_;
    UiContext& context_;
    TranslatorManager& translators_;
    QString instanceName_;
    QWidget* root_ = nullptr;  // child of this window
    std::unique_ptr<QMenu> moreMenu_;
    std::function<void()> firmwareCheck_;
};

}  // namespace keydeck
