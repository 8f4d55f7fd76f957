#include "ui/widgets/tab_ctrl2.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTabBar>

#include "ui/framework/widget_registry.h"
#include "ui/widgets/attribute_values.h"

namespace keydeck {

STabCtrl2::STabCtrl2(UiContext& context, QWidget* parent) : QTabWidget(parent), context_(context) {
    tabBar()->setMouseTracking(true);
    tabBar()->installEventFilter(this);
}

bool STabCtrl2::IsClass(QStringView tag) const {
    return AttributeIs(tag, "tabctrl2") || AttributeIs(tag, "tabctrl") ||
           AttributeIs(tag, "window");
}

AttributeResult STabCtrl2::SetAttribute(QStringView name, const QString& value) {
    if (!AttributeIs(name, "tabHeadBgSkin")) return AttributeResult::kUnknown;
    auto skin = context_.resources.FindSkin(value);
    if (!skin) return AttributeResult::kBadValue;
    headSkin_ = std::move(skin);
    update();
    return AttributeResult::kApplied;
}

bool STabCtrl2::eventFilter(QObject* watched, QEvent* event) {
    if (watched == tabBar()) {
        int index = hovered_;
        if (event->type() == QEvent::MouseMove) {
            index = tabBar()->tabAt(static_cast<QMouseEvent*>(event)->position().toPoint());
        } else if (event->type() == QEvent::Leave) {
            index = -1;
        }
        if (index != hovered_) {
            if (hovered_ >= 0) emit tabItemLeave(hovered_);
            hovered_ = index;
            if (hovered_ >= 0) emit tabItemHover(hovered_);
        }
    }
    return QTabWidget::eventFilter(watched, event);
}

void STabCtrl2::paintEvent(QPaintEvent* event) {
    if (headSkin_) {
        QPainter painter(this);
        const QRect head(0, 0, width(), tabBar()->height());
        painter.drawPixmap(head, headSkin_->Frame(0));
    }
    QTabWidget::paintEvent(event);
}

STabPage2::STabPage2(UiContext& context, QWidget* parent) : QWidget(parent), context_(context) {}

bool STabPage2::IsClass(QStringView tag) const {
    return AttributeIs(tag, "page2") || AttributeIs(tag, "page") || AttributeIs(tag, "window");
}

AttributeResult STabPage2::SetAttribute(QStringView name, const QString& value) {
    const bool entry = AttributeIs(name, "ani_in");
    if (!entry && !AttributeIs(name, "ani_out")) return AttributeResult::kUnknown;
    auto skin = context_.resources.FindSkin(value);
    if (!skin) return AttributeResult::kBadValue;
    (entry ? in_ : out_) = std::move(skin);
    return AttributeResult::kApplied;
}

}  // namespace keydeck
