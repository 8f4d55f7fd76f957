#pragma once

#include <QTabWidget>
#include <optional>

#include "ui/framework/resource_index.h"
#include "ui/framework/widget_kind.h"

namespace keydeck {

struct UiContext;

// "tabctrl2": Qt's tab control with a skin behind its tab heads and hover
// events for the heads. Current page, page changes: Qt's own.
class STabCtrl2 final : public QTabWidget, public IWidgetKind {
    Q_OBJECT
public:
    STabCtrl2(UiContext& context, QWidget* parent);
    bool IsClass(QStringView tag) const override;
    AttributeResult SetAttribute(QStringView name, const QString& value) override;

signals:
    void tabItemHover(int index);  // "on_tab_item_hover"
    void tabItemLeave(int index);  // "on_tab_item_leave"

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    UiContext& context_;
    std::optional<Skin> headSkin_;
    int hovered_ = -1;
};

// "page2": one page of a "tabctrl2"; keeps the skins of its tab head.
class STabPage2 final : public QWidget, public IWidgetKind {
    Q_OBJECT
public:
    STabPage2(UiContext& context, QWidget* parent);
    bool IsClass(QStringView tag) const override;
    AttributeResult SetAttribute(QStringView name, const QString& value) override;
    const std::optional<Skin>& EntrySkin() const { return in_; }
    const std::optional<Skin>& ExitSkin() const { return out_; }

private:
    UiContext& context_;
    std::optional<Skin> in_;
    std::optional<Skin> out_;
};

}  // namespace keydeck
