#pragma once

#include <QString>

class QWidget;

namespace keydeck {

// The program's one kind of message to the user: caption "Warning", one OK
// button, modal to `owner`. `text` is translated here.
void ShowWarning(QWidget* owner, const QString& text);

}  // namespace keydeck

namespace keydeck {

// The same box with OK and Cancel; true when the user chose OK.
bool AskWarning(QWidget* owner, const QString& text);

}  // namespace keydeck
