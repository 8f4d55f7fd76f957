#pragma once

#include <QString>
#include <QStringView>
#include <optional>

class QWidget;

namespace keydeck {

// The numeric ID of a widget name from the widget-ID table, if it has one.
std::optional<int> WidgetIdOf(QStringView name);

// Finds a widget below (or at) `root` by name or by its table ID, and checks
// its kind ("combobox", "cbimg"...). A missing widget or one of another kind
// gives null and an error in the log, so a broken layout is seen at once.
QWidget* FindWidget(QWidget* root, QStringView name, QStringView kind);
QWidget* FindWidget(QWidget* root, int id, QStringView kind);

// Typed forms: null as above, and also when the widget is not a T.
template <class T>
T* FindWidgetAs(QWidget* root, QStringView name, QStringView kind) {
    return dynamic_cast<T*>(FindWidget(root, name, kind));
}
template <class T>
T* FindWidgetAs(QWidget* root, int id, QStringView kind) {
    return dynamic_cast<T*>(FindWidget(root, id, kind));
}

}  // namespace keydeck
