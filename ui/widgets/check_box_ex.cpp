#include "ui/widgets/check_box_ex.h"

#include <QPainter>
#include <QStyleOptionButton>

#include "ui/framework/widget_registry.h"
#include "ui/widgets/attribute_values.h"

namespace keydeck {

AttributeResult IconTextExtras::Set(const ResourceIndex& resources, QStringView name,
                                    const QString& value) {
    if (AttributeIs(name, "iconSkin")) {
        auto skin = resources.FindSkin(value);
        if (!skin) return AttributeResult::kBadValue;
        icon = std::move(skin);
        return AttributeResult::kApplied;
    }
    if (AttributeIs(name, "iconPos")) {
        iconPos = ParseAttributePoint(value);
        return AttributeResult::kApplied;
    }
    if (AttributeIs(name, "textX") || AttributeIs(name, "textY")) {
        const auto number = ParseAttributeInt(value);
        if (!number) return AttributeResult::kBadValue;
        (AttributeIs(name, "textX") ? textX : textY) = *number;
        return AttributeResult::kApplied;
    }
    return AttributeResult::kUnknown;
}

QPoint IconTextExtras::TextOffset() const {
    const int iconWidth = icon ? icon->FrameSize().width() : 0;
    return QPoint(textX + iconPos.x() + iconWidth, textY + iconPos.y());
}

int IconTextExtras::IconFrame(bool checked, bool enabled, bool pressed, bool hovered) {
    const int state = !enabled ? 3 : pressed ? 2 : hovered ? 1 : 0;
    return (checked ? 4 : 0) + state;
}

template <class Base>
IconTextButton<Base>::IconTextButton(UiContext& context, QWidget* parent)
    : Base(parent), context_(context) {
    this->setAttribute(Qt::WA_Hover);
}

template <class Base>
AttributeResult IconTextButton<Base>::SetAttribute(QStringView name, const QString& value) {
    const auto result = extras_.Set(context_.resources, name, value);
    if (result == AttributeResult::kApplied) {
        this->updateGeometry();
        this->update();
    }
    return result;
}

template <class Base>
QRect IconTextButton<Base>::TextRect() const {
    QStyleOptionButton option;
    InitOption(&option);
    const auto element = std::is_same_v<Base, QCheckBox> ? QStyle::SE_CheckBoxContents
                                                         : QStyle::SE_RadioButtonContents;
    QRect text = this->style()->subElementRect(element, &option, this);
    const QPoint offset = extras_.TextOffset();
    text.translate(offset);
    text.setRight(std::max(text.left(), this->rect().right()));
    return text;
}

template <class Base>
QSize IconTextButton<Base>::sizeHint() const {
    QSize size = Base::sizeHint();
    const QPoint offset = extras_.TextOffset();
    size.rwidth() += std::max(0, offset.x());
    size.rheight() += std::max(0, offset.y());
    if (extras_.icon) {
        const QSize icon = extras_.icon->FrameSize();
        size.rheight() = std::max(size.height(), extras_.iconPos.y() + icon.height());
    }
    return size;
}

template <class Base>
void IconTextButton<Base>::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    QStyleOptionButton option;
    InitOption(&option);
    const QString text = option.text;
    option.text.clear();
    const auto control =
        std::is_same_v<Base, QCheckBox> ? QStyle::CE_CheckBox : QStyle::CE_RadioButton;
    this->style()->drawControl(control, &option, &painter, this);
    if (extras_.icon) {
        const int frame = IconTextExtras::IconFrame(this->isChecked(), this->isEnabled(),
                                                    this->isDown(), this->underMouse());
        painter.drawPixmap(extras_.iconPos, extras_.icon->Frame(frame));
    }
    option.text = text;
    this->style()->drawItemText(&painter, TextRect(), Qt::AlignLeft | Qt::AlignVCenter,
                                option.palette, this->isEnabled(), text, QPalette::WindowText);
}

template class IconTextButton<QCheckBox>;
template class IconTextButton<QRadioButton>;

bool SCheckBoxEx::IsClass(QStringView tag) const {
    return AttributeIs(tag, "checkex") || AttributeIs(tag, "check") || AttributeIs(tag, "window");
}

bool SRadioBoxEx::IsClass(QStringView tag) const {
    return AttributeIs(tag, "radioex") || AttributeIs(tag, "radio") || AttributeIs(tag, "window");
}

}  // namespace keydeck
