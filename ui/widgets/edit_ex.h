#pragma once

#include <QLineEdit>

#include "ui/framework/widget_kind.h"

namespace keydeck {

// "editex": an edit whose Enter fires "on_key_enter" (signal keyEnter) instead
// of reaching the text, and which a click enables when it is disabled.
class SEditEx final : public QLineEdit, public IWidgetKind {
    Q_OBJECT
public:
    explicit SEditEx(QWidget* parent);
    bool IsClass(QStringView tag) const override;
    AttributeResult SetAttribute(QStringView name, const QString& value) override;

signals:
    void keyEnter();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace keydeck
