#pragma once

namespace keydeck {

// Menu and tray commands reach the window that owns them through this.
class ICommandTarget {
public:
    virtual ~ICommandTarget() = default;
    // A menu item with this command ID was chosen (1 firmware check, 6 close...).
    virtual void OnCommand(int commandId) = 0;
};

// What the notification icon reports to its window before acting itself.
enum class NotifyIconEvent { kLeftButtonUp, kRightButtonUp, kDoubleClick };

// A window that wants the first word on its notification icon's events.
class INotifyIconHandler {
public:
    virtual ~INotifyIconHandler() = default;
    // True when the window handled the event; the icon's default is skipped.
    virtual bool OnNotifyIconEvent(NotifyIconEvent event) = 0;
};

}  // namespace keydeck
