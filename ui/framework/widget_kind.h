#pragma once

#include <QString>
#include <QStringView>

class QWidget;

namespace keydeck {

// What a layout attribute did to the widget it was given to.
enum class AttributeResult {
    kApplied,   // the widget took the value
    kUnknown,   // the widget has no attribute of that name
    kBadValue,  // the name is known but the value is not usable; nothing changed
};

// Implemented by every widget kind the program adds to Qt's own. The layout
// loader creates the widget through its factory, lets Qt apply the standard
// properties of the .ui file, then hands over every dynamic property
// (stdset="0") through SetAttribute, and finally calls OnCreated once.
class IWidgetKind {
public:
    virtual ~IWidgetKind() = default;
    // The class test: true for the kind's own tag and for each of its base
    // kinds' tags ("cbimg" answers "cbimg" and "window").
    virtual bool IsClass(QStringView tag) const = 0;
    // One layout attribute; names are compared without regard to case.
    virtual AttributeResult SetAttribute(QStringView name, const QString& value) = 0;
    // All attributes are in: the kind's own creation steps (loading files,
    // joining the timeline, adding a tray icon...).
    virtual void OnCreated() {}
};

// The class test for any widget: the program's kinds answer through
// IWidgetKind, Qt's own widgets by the tag of their framework kind
// ("button"/"imgbtn", "check", "radio", "edit", "combobox", "sliderbar",
// "text", "tabctrl", "listview", "mclistview"); every widget is a "window".
bool IsWidgetKind(const QWidget* widget, QStringView tag);

}  // namespace keydeck
