#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QWidget;

namespace keydeck {

// The framework's events, as the windows' event maps see them.
enum class WidgetEventKind {
    kClick,        // a button, check box or radio button was clicked
    kSliderPos,    // a slider moved; value = position
    kSelChanged,   // a combo box or list changed its row; value = row
    kTextChanged,  // an edit's text changed
    kTabChanged,   // a tab control changed its page; value = page
    kKeyEnter,     // Enter in an "editex" (event "on_key_enter")
};

inline constexpr int kEventKeyEnter = 10000500;

struct WidgetEvent {
    WidgetEventKind kind;
    QString name;  // the sender's name
    int id = 0;    // the sender's table ID, 0 when it has none
    int value = 0;
    QWidget* sender = nullptr;
};

using WidgetEventHandler = std::function<void(const WidgetEvent&)>;

// Connects every widget below `root` to one handler: the window's event map.
// A kind that fires its own events ("editex") declares a Qt signal
// keyEnter(). Lives as long as `root` (it is its child).
class EventHub final : public QObject {
    Q_OBJECT
public:
    EventHub(QWidget* root, WidgetEventHandler handler);
    // Connects widgets created after the hub (list rows...).
    void Connect(QWidget* widget);

private slots:
    void OnKeyEnter();

private:
    void Fire(WidgetEventKind kind, QWidget* sender, int value);
    WidgetEventHandler handler_;
};

}  // namespace keydeck
