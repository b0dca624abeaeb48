#include "ui/slider_actions.h"

#include <QScrollBar>

namespace talvor {

std::optional<ScrollAction> ScrollActionOf(int sliderAction) {
    switch (sliderAction) {
        case QAbstractSlider::SliderSingleStepSub:
            return ScrollAction::LineLeft;
        case QAbstractSlider::SliderSingleStepAdd:
            return ScrollAction::LineRight;
        case QAbstractSlider::SliderPageStepSub:
            return ScrollAction::PageLeft;
        case QAbstractSlider::SliderPageStepAdd:
            return ScrollAction::PageRight;
        case QAbstractSlider::SliderMove:
            return ScrollAction::ThumbTrack;
        default:
            return std::nullopt;
    }
}

void ConnectSpinBar(QScrollBar* bar, std::function<void(ScrollAction)> onStep) {
    QObject::connect(
        bar, &QAbstractSlider::actionTriggered, bar,
        [bar, onStep = std::move(onStep)](int sliderAction) {
            const auto action = ScrollActionOf(sliderAction);
            if (action == ScrollAction::LineLeft || action == ScrollAction::LineRight) {
                onStep(*action);
            } else {
                // The value has not moved yet: the handle goes back to it.
                bar->setSliderPosition(bar->value());
            }
        });
}

}  // namespace talvor
