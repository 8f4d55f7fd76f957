#include "ui/widgets/coord_button_image.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <pugixml.hpp>

#include "platform/text.h"
#include "ui/framework/widget_registry.h"
#include "ui/widgets/attribute_values.h"

namespace keydeck {
namespace {

std::string WithoutChars(std::string text, std::string_view drop) {
    std::erase_if(text, [&](char c) { return drop.find(c) != std::string_view::npos; });
    return text;
}

int32_t IntAttribute(const pugi::xml_node& node, const char* name) {
    const auto attribute = node.attribute(name);
    if (!attribute) return -1;
    int value = 0;
    if (std::sscanf(attribute.value(), "%d", &value) != 1) return 0;
    return value;
}

uint32_t KeyStateFlags(const QMouseEvent& event) {
    uint32_t flags = 0;
    if (event.buttons() & Qt::LeftButton) flags |= kMkLButton;
    if (event.buttons() & Qt::RightButton) flags |= kMkRButton;
    if (event.buttons() & Qt::MiddleButton) flags |= kMkMButton;
    if (event.modifiers() & Qt::ShiftModifier) flags |= kMkShift;
    if (event.modifiers() & Qt::ControlModifier) flags |= kMkControl;
    return flags;
}

QRect ToQRect(const CoordButton& button) {
    return QRect(QPoint(button.left, button.top), QPoint(button.right - 1, button.bottom - 1));
}

}  // namespace

uint32_t ParseButtonColor(const std::string& text) {
    const std::string clean = WithoutChars(text, " \t\r\n#");
    unsigned int value = 0;
    if (std::sscanf(clean.c_str(), "%x", &value) != 1) return kDefaultButtonColor;
    return value;
}

void ParseButtonRect(const std::string& text, CoordButton& button) {
    const std::string clean = WithoutChars(text, " \t\r\n");
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    std::sscanf(clean.c_str(), "%d,%d,%d,%d", &x, &y, &w, &h);
    button.left = x;
    button.top = y;
    button.right = x + w;
    button.bottom = y + h;
}

std::vector<CoordButton> ReadCoordButtons(const std::filesystem::path& file) {
    std::vector<CoordButton> buttons;
    pugi::xml_document doc;
    if (!doc.load_file(file.c_str())) return buttons;
    for (const auto& node : doc.child("positions").children()) {
        if (node.type() != pugi::node_element) continue;
        CoordButton button;
        button.id = IntAttribute(node, "id");
        button.va = IntAttribute(node, "va");
        button.name = QString::fromUtf8(node.attribute("name").as_string());
        if (const auto color = node.attribute("color")) {
            button.color = ParseButtonColor(color.value());
        }
        if (const auto rect = node.attribute("rect")) ParseButtonRect(rect.value(), button);
        buttons.push_back(std::move(button));
    }
    return buttons;
}

QColor ButtonColorToQColor(uint32_t color) {
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF), static_cast<int>(color >> 24));
}

CoordButtonImage::CoordButtonImage(UiContext& context, QWidget* parent)
    : QWidget(parent), context_(context) {
    setMouseTracking(true);
}

bool CoordButtonImage::IsClass(QStringView tag) const {
    return AttributeIs(tag, "cbimg") || AttributeIs(tag, "window");
}

AttributeResult CoordButtonImage::SetAttribute(QStringView name, const QString& value) {
    auto loadPicture = [&](QPixmap& picture) {
        QPixmap loaded = context_.resources.Image(value);
        if (loaded.isNull()) return AttributeResult::kBadValue;
        picture = std::move(loaded);
        update();
        return AttributeResult::kApplied;
    };
    if (AttributeIs(name, "bg")) return loadPicture(bg_);
    if (AttributeIs(name, "chking")) return loadPicture(chking_);
    if (AttributeIs(name, "chked")) return loadPicture(chked_);
    if (AttributeIs(name, "crdxml")) {
        crdxml_ = context_.resources.ResolveString(value);
        return AttributeResult::kApplied;
    }
    if (AttributeIs(name, "type")) {
        const auto mode = ParseAttributeInt(value);
        if (!mode) return AttributeResult::kBadValue;
        mode_ = *mode;
        return AttributeResult::kApplied;
    }
    return AttributeResult::kUnknown;
}

void CoordButtonImage::OnCreated() {
    // The key list is read once, from the file named at creation.
    if (loaded_) return;
    loaded_ = true;
    if (crdxml_.isEmpty()) return;
    QString relative = crdxml_;
    while (relative.startsWith(u'/') || relative.startsWith(u'\\')) relative.remove(0, 1);
    buttons_ = ReadCoordButtons(context_.programDir / PathFromUtf8(relative.toStdString()));
    updateGeometry();
    update();
}

bool CoordButtonImage::GetButton(int32_t id, CoordButton* out) const {
    const auto it = std::find_if(buttons_.begin(), buttons_.end(),
                                 [id](const CoordButton& b) { return b.id == id; });
    if (it == buttons_.end()) return false;
    if (out != nullptr) *out = *it;
    return true;
}

template <class Fn>
void CoordButtonImage::ForButtons(int32_t id, Fn fn) {
    for (auto& button : buttons_) {
        if (id == kAllButtons) {
            fn(button);
        } else if (button.id == id) {
            fn(button);
            break;
        }
    }
    update();
}

void CoordButtonImage::SetButtonText(int32_t id, const QString& text) {
    ForButtons(id, [&](CoordButton& b) { b.text = text; });
}

void CoordButtonImage::SetButtonChecked(int32_t id, bool checked) {
    ForButtons(id, [&](CoordButton& b) { b.checked = checked; });
}

void CoordButtonImage::ToggleButtonChecked(int32_t id) {
    ForButtons(id, [](CoordButton& b) { b.checked = !b.checked; });
}

QSize CoordButtonImage::sizeHint() const {
    if (!bg_.isNull()) return bg_.size();
    int width = 0;
    int height = 0;
    for (const auto& b : buttons_) {
        width = std::max(width, b.right);
        height = std::max(height, b.bottom);
    }
    return width > 0 ? QSize(width, height) : QWidget::sizeHint();
}

void CoordButtonImage::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    for (const auto& b : buttons_) {
        const QColor color = ButtonColorToQColor(b.color);
        if (color.alpha() != 0) painter.fillRect(ToQRect(b), color);
    }
    if (!bg_.isNull()) painter.drawPixmap(rect(), bg_, bg_.rect());
    auto overlay = [&](const QPixmap& picture, bool CoordButton::*mark) {
        if (picture.isNull()) return;
        for (const auto& b : buttons_) {
            if (b.*mark) painter.drawPixmap(ToQRect(b), picture, ToQRect(b));
        }
    };
    overlay(chking_, &CoordButton::hover);
    overlay(chked_, &CoordButton::checked);
}

void CoordButtonImage::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    const CoordButton* last = nullptr;
    for (auto& b : buttons_) {
        b.hover = b.Contains(point.x(), point.y());
        if (b.hover) last = &b;
    }
    setToolTip(last == nullptr ? QString() : (last->text.isEmpty() ? last->name : last->text));
    update();
}

void CoordButtonImage::leaveEvent(QEvent* event) {
    for (auto& b : buttons_) b.hover = false;
    setToolTip(QString());
    update();
    QWidget::leaveEvent(event);
}

CoordButton* CoordButtonImage::FirstHit(QPoint point) {
    const auto it = std::find_if(buttons_.begin(), buttons_.end(), [&](const CoordButton& b) {
        return b.Contains(point.x(), point.y());
    });
    return it == buttons_.end() ? nullptr : &*it;
}

void CoordButtonImage::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    const QPoint point = event->position().toPoint();
    CoordButton* hit = FirstHit(point);
    if (hit == nullptr) return;
    // Copied: the listener may change the key list's texts and marks.
    const int32_t id = hit->id;
    const QString name = hit->name;
    const bool handled = listener_ != nullptr && listener_->OnCoordButtonClick(
                                                     id, name, false, KeyStateFlags(*event), point);
    hit = FirstHit(point);
    if (hit == nullptr) return;
    if (!handled) {
        if (mode_ == kSingleSelection) {
            for (auto& b : buttons_) b.checked = false;
            update();
            hit->checked = !hit->checked;
        } else if (mode_ == kMultipleSelection) {
            hit->checked = !hit->checked;
        }
    }
    hit->pressed = true;
    update();
}

void CoordButtonImage::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
    const QPoint point = event->position().toPoint();
    const CoordButton* hit = FirstHit(point);
    const bool report = hit != nullptr && hit->pressed && listener_ != nullptr;
    const int32_t id = hit != nullptr ? hit->id : 0;
    const QString name = hit != nullptr ? hit->name : QString();
    // Every press ends with this release, wherever it happens: a mark left on
    // the key pressed first would report a release later that was never pressed.
    bool changed = false;
    for (auto& b : buttons_) {
        changed = changed || b.pressed;
        b.pressed = false;
    }
    if (report) listener_->OnCoordButtonClick(id, name, true, KeyStateFlags(*event), point);
    if (changed) update();
}

}  // namespace keydeck
