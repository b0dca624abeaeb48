#include "core/program_settings.h"

namespace talvor {

Rgb BackgroundColour(WindowBackground background) {
    switch (background) {
        case WindowBackground::LightGrey:
            return {192, 192, 192};
        case WindowBackground::Grey:
            return {90, 90, 90};
        case WindowBackground::Red:
            break;
    }
    return {120, 40, 40};
}

}  // namespace talvor
