#pragma once

#include <QCheckBox>
#include <QRadioButton>
#include <optional>

#include "ui/framework/resource_index.h"
#include "ui/framework/widget_kind.h"

namespace keydeck {

struct UiContext;

// What "checkex" and "radioex" add to Qt's box: an icon skin beside the box
// and extra space before and above the text.
struct IconTextExtras {
    std::optional<Skin> icon;
    QPoint iconPos;
    int textX = 0;
    int textY = 0;

    AttributeResult Set(const ResourceIndex& resources, QStringView name, const QString& value);
    // How far the text moves from where the plain box puts it.
    QPoint TextOffset() const;
    // The icon's frame: unchecked then checked, each normal, hovered, pressed, disabled.
    static int IconFrame(bool checked, bool enabled, bool pressed, bool hovered);
};

// The shared drawing and sizing of the two twins.
template <class Base>
class IconTextButton : public Base, public IWidgetKind {
public:
    IconTextButton(UiContext& context, QWidget* parent);
    AttributeResult SetAttribute(QStringView name, const QString& value) override;
    const IconTextExtras& Extras() const { return extras_; }
    // Where the text is drawn, in widget coordinates.
    QRect TextRect() const;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    virtual void InitOption(QStyleOptionButton* option) const = 0;

private:
    UiContext& context_;
    IconTextExtras extras_;
};

class SCheckBoxEx final : public IconTextButton<QCheckBox> {
    Q_OBJECT
public:
    SCheckBoxEx(UiContext& context, QWidget* parent) : IconTextButton(context, parent) {}
    bool IsClass(QStringView tag) const override;

protected:
    void InitOption(QStyleOptionButton* option) const override { initStyleOption(option); }
};

class SRadioBoxEx final : public IconTextButton<QRadioButton> {
    Q_OBJECT
public:
    SRadioBoxEx(UiContext& context, QWidget* parent) : IconTextButton(context, parent) {}
    bool IsClass(QStringView tag) const override;

protected:
    void InitOption(QStyleOptionButton* option) const override { initStyleOption(option); }
};

}  // namespace keydeck
