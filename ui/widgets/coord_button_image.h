#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "ui/framework/widget_kind.h"

namespace keydeck {

struct UiContext;

// The id that addresses every key of the picture.
inline constexpr int32_t kAllButtons = 0x7FFFFFFF;

// One key of the keyboard picture.
struct CoordButton {
    int32_t id = -1;  // virtual-key code (plus the extended flag)
    int32_t va = -1;
    QString name;
    int32_t left = 0;  // widget coordinates; right and bottom exclusive
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    uint32_t color = 0x00FFFFFF;  // 0xAABBGGRR
    QString text;                 // tooltip set by the program
    bool checked = false;
    bool hover = false;
    bool pressed = false;

    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

inline constexpr uint32_t kDefaultButtonColor = 0x00FFFFFF;

// The coordinates file's "color": blanks and "#" removed, then hexadecimal.
uint32_t ParseButtonColor(const std::string& text);
// The coordinates file's "rect" "x,y,w,h" (blanks removed) into the key.
void ParseButtonRect(const std::string& text, CoordButton& button);
// The keys of a coordinates file in document order; empty when it does not load.
std::vector<CoordButton> ReadCoordButtons(const std::filesystem::path& file);
// 0xAABBGGRR as a QColor.
QColor ButtonColorToQColor(uint32_t color);

class ICoordButtonClickListener {
public:
    virtual ~ICoordButtonClickListener() = default;
    // True when the listener handled the click; the picture then leaves its
    // selection alone. `flags` are the mouse message's key-state flags.
    virtual bool OnCoordButtonClick(int32_t id, QString name, bool up, uint32_t flags,
                                    QPoint point) = 0;
};

// Mouse key-state flags in the layout the listeners expect.
enum MouseKeyFlags : uint32_t {
    kMkLButton = 0x1,
    kMkRButton = 0x2,
    kMkShift = 0x4,
    kMkControl = 0x8,
    kMkMButton = 0x10,
};

// The keyboard picture ("cbimg"): keys from a coordinates file, hover and
// checked pictures, tooltips, selection and one click listener.
class CoordButtonImage final : public QWidget, public IWidgetKind {
    Q_OBJECT
public:
    enum SelectionMode { kNoSelection = 0, kSingleSelection = 1, kMultipleSelection = 2 };

    CoordButtonImage(UiContext& context, QWidget* parent);

    bool IsClass(QStringView tag) const override;
    AttributeResult SetAttribute(QStringView name, const QString& value) override;
    void OnCreated() override;

    void SetClickListener(ICoordButtonClickListener* listener) { listener_ = listener; }
    bool GetButton(int32_t id, CoordButton* out) const;
    void SetButtonText(int32_t id, const QString& text);
    void SetButtonChecked(int32_t id, bool checked);
    void ToggleButtonChecked(int32_t id);

    const std::vector<CoordButton>& Buttons() const { return buttons_; }
    int SelectionModeValue() const { return mode_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    CoordButton* FirstHit(QPoint point);
    template <class Fn>
    void ForButtons(int32_t id, Fn fn);

    UiContext& context_;
    QPixmap bg_;
    QPixmap chking_;
    QPixmap chked_;
    std::vector<CoordButton> buttons_;
    int mode_ = kNoSelection;
    QString crdxml_;
    bool loaded_ = false;
    ICoordButtonClickListener* listener_ = nullptr;
};

}  // namespace keydeck
