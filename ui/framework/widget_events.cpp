#include "ui/framework/widget_events.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMetaMethod>
#include <QSlider>
#include <QTabWidget>
#include <QTreeWidget>

#include "ui/framework/widget_lookup.h"

namespace keydeck {

EventHub::EventHub(QWidget* root, WidgetEventHandler handler)
    : QObject(root), handler_(std::move(handler)) {
    Connect(root);
    for (QWidget* widget : root->findChildren<QWidget*>()) Connect(widget);
}

void EventHub::Connect(QWidget* widget) {
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        connect(button, &QAbstractButton::clicked, this,
                [this, button] { Fire(WidgetEventKind::kClick, button, button->isChecked()); });
    } else if (auto* slider = qobject_cast<QSlider*>(widget)) {
        connect(slider, &QSlider::valueChanged, this,
                [this, slider](int pos) { Fire(WidgetEventKind::kSliderPos, slider, pos); });
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        connect(combo, &QComboBox::currentIndexChanged, this,
                [this, combo](int row) { Fire(WidgetEventKind::kSelChanged, combo, row); });
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        connect(edit, &QLineEdit::textChanged, this,
                [this, edit] { Fire(WidgetEventKind::kTextChanged, edit, 0); });
    } else if (auto* tabs = qobject_cast<QTabWidget*>(widget)) {
        connect(tabs, &QTabWidget::currentChanged, this,
                [this, tabs](int page) { Fire(WidgetEventKind::kTabChanged, tabs, page); });
    } else if (auto* list = qobject_cast<QListWidget*>(widget)) {
        connect(list, &QListWidget::currentRowChanged, this,
                [this, list](int row) { Fire(WidgetEventKind::kSelChanged, list, row); });
    }
    const int signal = widget->metaObject()->indexOfSignal("keyEnter()");
    if (signal >= 0) {
        const int slot = metaObject()->indexOfSlot("OnKeyEnter()");
        connect(widget, widget->metaObject()->method(signal), this, metaObject()->method(slot),
                Qt::UniqueConnection);
    }
}

void EventHub::OnKeyEnter() {
    if (auto* widget = qobject_cast<QWidget*>(sender()))
        Fire(WidgetEventKind::kKeyEnter, widget, 0);
}

void EventHub::Fire(WidgetEventKind kind, QWidget* sender, int value) {
    if (!handler_) return;
    const QString name = sender->objectName();
    handler_(WidgetEvent{kind, name, WidgetIdOf(name).value_or(0), value, sender});
}

}  // namespace keydeck
