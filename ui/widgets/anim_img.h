#pragma once

#include <QWidget>
#include <optional>

#include "ui/framework/resource_index.h"
#include "ui/framework/timeline.h"
#include "ui/framework/widget_kind.h"

namespace keydeck {

struct UiContext;

// The animation of "anmimg" without the widget: hover, leave and the
// timeline's 10 ms ticks in, phase and frame out.
class AnimationState {
public:
    enum Phase { kRest = 0, kEntry = 1, kExit = 2 };

    int interval = 50;        // ms per frame
    int autorunSeconds = -1;  // -1: no automatic run
    int entryFrames = 0;
    int exitFrames = 0;

    void Start();  // creation: begins the first wait when autorun is on
    void Hover();
    void Leave();
    void Tick(int elapsedMs);

    Phase phase() const { return phase_; }
    int frame() const { return frame_; }
    bool waiting() const { return waiting_; }
    int hoverCount() const { return hoverCount_; }

private:
    void StartEntry();
    void Rest();

    Phase phase_ = kRest;
    int frame_ = 0;
    int sinceFrame_ = 0;
    int hoverCount_ = 0;
    bool waiting_ = false;
    int waited_ = 0;
};

// "anmimg": a picture that plays an entry animation on hover (or by itself
// every "autorun" seconds) and an exit animation after.
class SAnimImg final : public QWidget, public IWidgetKind, public ITimelineHandler {
    Q_OBJECT
public:
    SAnimImg(UiContext& context, QWidget* parent);
    ~SAnimImg() override;

    bool IsClass(QStringView tag) const override;
    AttributeResult SetAttribute(QStringView name, const QString& value) override;
    void OnCreated() override;
    void OnNextFrame() override;

    const AnimationState& State() const { return state_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    UiContext& context_;
    AnimationState state_;
    std::optional<Skin> in_;
    std::optional<Skin> out_;
};

}  // namespace keydeck
