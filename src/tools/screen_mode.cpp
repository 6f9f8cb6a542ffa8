#include "tools/screen_mode.h"

namespace {

ScreenTransition LeaveFocus(ScreenModes now) {
    ScreenTransition t{{false, false}, PlacementStep::None, false};
    if (now.fullScreen) t.placement = PlacementStep::Restore;
    return t;
}

}  // namespace

ScreenTransition NextScreenModes(ScreenModes now, ScreenEvent event) {
    switch (event) {
        case ScreenEvent::FullScreen:
            if (now.focusMode) return LeaveFocus(now);
            return {
                {!now.fullScreen, false}, now.fullScreen ? PlacementStep::Restore : PlacementStep::SaveAndCover, false};
        case ScreenEvent::DistractionFree:
            if (now.focusMode) return LeaveFocus(now);
            return {{true, true}, now.fullScreen ? PlacementStep::None : PlacementStep::SaveAndCover, true};
        case ScreenEvent::ExitFocus:
            if (!now.focusMode) return {now, PlacementStep::None, false};
            return LeaveFocus(now);
    }
    return {now, PlacementStep::None, false};
}
