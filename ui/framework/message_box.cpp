#include "ui/framework/message_box.h"

#include <QMessageBox>

#include "ui/framework/translator.h"

namespace keydeck {

void ShowWarning(QWidget* owner, const QString& text) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Warning"), Tr(text), QMessageBox::Ok,
                    owner);
    box.setObjectName(QStringLiteral("msgbox"));
    box.exec();
}

}  // namespace keydeck

namespace keydeck {

bool AskWarning(QWidget* owner, const QString& text) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Warning"), Tr(text),
                    QMessageBox::Ok | QMessageBox::Cancel, owner);
    return box.exec() == QMessageBox::Ok;
}

}  // namespace keydeck
