#include "ui/widgets/anim_img.h"

#include <QPainter>

#include "ui/framework/widget_registry.h"
#include "ui/widgets/attribute_values.h"

namespace keydeck {

void AnimationState::Start() {
    if (autorunSeconds >= 0) {
        waiting_ = true;
        waited_ = 0;
    }
}

void AnimationState::StartEntry() {
    phase_ = kEntry;
    frame_ = 0;
    sinceFrame_ = 0;
}

void AnimationState::Rest() {
    phase_ = kRest;
    frame_ = 0;
    sinceFrame_ = 0;
}

void AnimationState::Hover() {
    ++hoverCount_;
    StartEntry();
}

void AnimationState::Leave() {
    --hoverCount_;
}

void AnimationState::Tick(int elapsedMs) {
    // A wait that begins in this tick starts counting with the next one.
    const bool wasWaiting = waiting_;
    if (phase_ == kEntry) {
        const bool pastLast = frame_ >= entryFrames - 1;
        if (pastLast && autorunSeconds < 0) {
            // The last frame stays until the mouse has gone.
            if (hoverCount_ <= 0 && exitFrames > 0) {
                phase_ = kExit;
                frame_ = 0;
                sinceFrame_ = 0;
            }
        } else {
            sinceFrame_ += elapsedMs;
            if (sinceFrame_ >= interval) {
                sinceFrame_ = 0;
                if (++frame_ >= entryFrames && autorunSeconds >= 0) {
                    Rest();
                    Start();
                } else if (frame_ >= entryFrames) {
                    frame_ = std::max(0, entryFrames - 1);
                }
            }
        }
    } else if (phase_ == kExit) {
        sinceFrame_ += elapsedMs;
        if (sinceFrame_ >= interval) {
            sinceFrame_ = 0;
            if (++frame_ >= exitFrames - 1) Rest();
        }
    }
    if (wasWaiting && waiting_) {
        waited_ += elapsedMs;
        if (waited_ >= autorunSeconds * 1000) {
            waiting_ = false;
            StartEntry();
        }
    }
}

SAnimImg::SAnimImg(UiContext& context, QWidget* parent) : QWidget(parent), context_(context) {
    setAttribute(Qt::WA_Hover);
}

SAnimImg::~SAnimImg() {
    context_.timeline.Unregister(this);
}

bool SAnimImg::IsClass(QStringView tag) const {
    return AttributeIs(tag, "anmimg") || AttributeIs(tag, "window");
}

AttributeResult SAnimImg::SetAttribute(QStringView name, const QString& value) {
    if (AttributeIs(name, "interval") || AttributeIs(name, "autorun")) {
        const auto number = ParseAttributeInt(value);
        if (!number || (AttributeIs(name, "interval") && *number <= 0)) {
            return AttributeResult::kBadValue;
        }
        (AttributeIs(name, "interval") ? state_.interval : state_.autorunSeconds) = *number;
        return AttributeResult::kApplied;
    }
    if (AttributeIs(name, "ani_in") || AttributeIs(name, "ani_out")) {
        auto skin = context_.resources.FindSkin(value);
        if (!skin) return AttributeResult::kBadValue;
        if (AttributeIs(name, "ani_in")) {
            state_.entryFrames = skin->states;
            in_ = std::move(skin);
            updateGeometry();
        } else {
            state_.exitFrames = skin->states;
            out_ = std::move(skin);
        }
        update();
        return AttributeResult::kApplied;
    }
    return AttributeResult::kUnknown;
}

void SAnimImg::OnCreated() {
    context_.timeline.Register(this);
    state_.Start();
}

void SAnimImg::OnNextFrame() {
    const auto phase = state_.phase();
    const int frame = state_.frame();
    state_.Tick(Timeline::kTickMs);
    if (phase != state_.phase() || frame != state_.frame()) update();
}

QSize SAnimImg::sizeHint() const {
    return in_ ? in_->FrameSize() : QWidget::sizeHint();
}

void SAnimImg::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    QPixmap picture;
    if (state_.phase() == AnimationState::kEntry && in_) {
        picture = in_->Frame(state_.frame());
    } else if (state_.phase() == AnimationState::kExit && out_) {
        picture = out_->Frame(state_.frame());
    } else if (in_) {
        picture = in_->Frame(0);
    }
    if (!picture.isNull()) painter.drawPixmap(rect(), picture);
}

void SAnimImg::enterEvent(QEnterEvent* event) {
    state_.Hover();
    update();
    QWidget::enterEvent(event);
}

void SAnimImg::leaveEvent(QEvent* event) {
    state_.Leave();
    QWidget::leaveEvent(event);
}

}  // namespace keydeck
