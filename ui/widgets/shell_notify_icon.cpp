#include "ui/widgets/shell_notify_icon.h"

#include <QCursor>
#include <QEvent>

#include "ui/framework/menu.h"
#include "ui/framework/translator.h"
#include "ui/framework/widget_registry.h"
#include "ui/widgets/attribute_values.h"

namespace keydeck {

SShellNotifyIcon::SShellNotifyIcon(UiContext& context, QWidget* parent)
    : QWidget(parent), context_(context) {
    setVisible(false);
    setFixedSize(0, 0);
}

SShellNotifyIcon::~SShellNotifyIcon() {
    if (tray_) tray_->hide();
}

bool SShellNotifyIcon::IsClass(QStringView tag) const {
    return AttributeIs(tag, "shellnotifyicon") || AttributeIs(tag, "window");
}

AttributeResult SShellNotifyIcon::SetAttribute(QStringView name, const QString& value) {
    if (AttributeIs(name, "ico")) {
        icons_ = value.split(u';', Qt::SkipEmptyParts);
    } else if (AttributeIs(name, "tip")) {
        tipSource_ = context_.resources.ResolveString(value);
        ApplyTip();
    } else if (AttributeIs(name, "menu")) {
        menuResource_ = value;
    } else if (AttributeIs(name, "deficoidx") || AttributeIs(name, "startframe") ||
               AttributeIs(name, "duration")) {
        const auto number = ParseAttributeInt(value);
        if (!number) return AttributeResult::kBadValue;
        int& target = AttributeIs(name, "deficoidx")  ? defaultIcon_
                      : AttributeIs(name, "duration") ? duration_
                                                      : startFrame_;
        target = *number;
    } else {
        return AttributeResult::kUnknown;
    }
    return AttributeResult::kApplied;
}

QIcon SShellNotifyIcon::ChosenIcon() const {
    if (defaultIcon_ >= 0 && defaultIcon_ < icons_.size()) {
        const QPixmap picture = context_.resources.Image(icons_[defaultIcon_]);
        if (!picture.isNull()) return QIcon(picture);
    }
    return QIcon(context_.resources.Image(u"ICON:ICON_LOGO"));
}

void SShellNotifyIcon::OnCreated() {
    if (tray_) return;
    tray_ = std::make_unique<QSystemTrayIcon>(ChosenIcon());
    ApplyTip();
    if (!menuResource_.isEmpty()) {
        menu_ =
            LoadMenu(context_.resources, menuResource_, dynamic_cast<ICommandTarget*>(window()));
    }
    connect(tray_.get(), &QSystemTrayIcon::activated, this, &SShellNotifyIcon::HandleActivation);
    // Qt adds the icon again itself when the task bar or tray host restarts.
    tray_->show();
}

void SShellNotifyIcon::ApplyTip() {
    tip_ = Tr(tipSource_);
    if (tip_.isEmpty()) tip_ = tipSource_;
    tip_.truncate(kMaxTipLength);
    if (tray_) tray_->setToolTip(tip_);
}

void SShellNotifyIcon::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) ApplyTip();
    QWidget::changeEvent(event);
}

void SShellNotifyIcon::HandleActivation(QSystemTrayIcon::ActivationReason reason) {
    QWidget* main = window();
    if (auto* handler = dynamic_cast<INotifyIconHandler*>(main)) {
        const auto event = reason == QSystemTrayIcon::Context ? NotifyIconEvent::kRightButtonUp
                           : reason == QSystemTrayIcon::DoubleClick
                               ? NotifyIconEvent::kDoubleClick
                               : NotifyIconEvent::kLeftButtonUp;
        if (handler->OnNotifyIconEvent(event)) return;
    }
    if (reason == QSystemTrayIcon::Trigger) {
        if (main->isVisible()) {
            main->hide();
        } else {
            main->showNormal();
            main->raise();
            main->activateWindow();
        }
    } else if (reason == QSystemTrayIcon::Context && menu_) {
        main->raise();
        main->activateWindow();
        menu_->popup(QCursor::pos());
    }
}

}  // namespace keydeck
