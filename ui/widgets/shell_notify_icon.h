#pragma once

#include <QIcon>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QWidget>
#include <memory>

#include "ui/framework/command_target.h"
#include "ui/framework/widget_kind.h"

namespace keydeck {

struct UiContext;

// "shellnotifyicon": the main window's icon in the notification area, with
// its menu. An invisible widget of the layout; the icon lives while it does.
class SShellNotifyIcon final : public QWidget, public IWidgetKind {
    Q_OBJECT
public:
    static constexpr int kMaxTipLength = 127;

    SShellNotifyIcon(UiContext& context, QWidget* parent);
    ~SShellNotifyIcon() override;

    bool IsClass(QStringView tag) const override;
    AttributeResult SetAttribute(QStringView name, const QString& value) override;
    void OnCreated() override;

    QString Tip() const { return tip_; }
    QMenu* Menu() const { return menu_.get(); }
    QSystemTrayIcon* TrayIcon() const { return tray_.get(); }
    // What a click on the icon does (also the tests' way in).
    void HandleActivation(QSystemTrayIcon::ActivationReason reason);

protected:
    void changeEvent(QEvent* event) override;

private:
    void ApplyTip();
    QIcon ChosenIcon() const;

    UiContext& context_;
    QStringList icons_;
    int defaultIcon_ = 0;
    QString tipSource_;
    QString tip_;
    QString menuResource_;
    int startFrame_ = 0;
    int duration_ = 200;
    std::unique_ptr<QMenu> menu_;
    std::unique_ptr<QSystemTrayIcon> tray_;
};

}  // namespace keydeck
