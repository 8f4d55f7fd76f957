#include "ui/framework/widget_kind.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>

namespace keydeck {
namespace {

bool Is(QStringView tag, const char* name) {
    return tag.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

bool QtKindIs(const QWidget* widget, QStringView tag) {
    if (Is(tag, "window")) return true;
    if (qobject_cast<const QCheckBox*>(widget)) return Is(tag, "check");
    if (qobject_cast<const QRadioButton*>(widget)) return Is(tag, "radio");
    if (qobject_cast<const QPushButton*>(widget) || qobject_cast<const QToolButton*>(widget)) {
        return Is(tag, "button") || Is(tag, "imgbtn");
    }
    if (qobject_cast<const QLineEdit*>(widget)) return Is(tag, "edit");
    if (qobject_cast<const QComboBox*>(widget)) return Is(tag, "combobox");
    if (qobject_cast<const QSlider*>(widget)) return Is(tag, "sliderbar");
    if (qobject_cast<const QLabel*>(widget)) return Is(tag, "text");
    if (qobject_cast<const QTabWidget*>(widget)) return Is(tag, "tabctrl");
    if (qobject_cast<const QTreeWidget*>(widget)) return Is(tag, "mclistview");
    if (qobject_cast<const QListWidget*>(widget)) return Is(tag, "listview");
    return false;
}

}  // namespace

bool IsWidgetKind(const QWidget* widget, QStringView tag) {
    if (widget == nullptr) return false;
    if (const auto* kind = dynamic_cast<const IWidgetKind*>(widget)) return kind->IsClass(tag);
    return QtKindIs(widget, tag);
}

}  // namespace keydeck
