#include "ui/widgets/edit_ex.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include "ui/widgets/attribute_values.h"

namespace keydeck {

SEditEx::SEditEx(QWidget* parent) : QLineEdit(parent) {}

bool SEditEx::IsClass(QStringView tag) const {
    return AttributeIs(tag, "editex") || AttributeIs(tag, "edit") || AttributeIs(tag, "window");
}

AttributeResult SEditEx::SetAttribute(QStringView /*name*/, const QString& /*value*/) {
    return AttributeResult::kUnknown;
}

bool SEditEx::event(QEvent* event) {
    // Qt drops mouse events on a disabled widget before its handlers, so the
    // click that enables it is taken here.
    const auto type = event->type();
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            if (!isEnabled()) setEnabled(true);
            if (type == QEvent::MouseButtonRelease) setFocus(Qt::MouseFocusReason);
            event->accept();
            return true;
        }
    }
    return QLineEdit::event(event);
}

void SEditEx::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        emit keyEnter();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

}  // namespace keydeck
