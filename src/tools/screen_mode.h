#pragma once
// Full screen and distraction free as a state machine over two flags. Both modes share one saved
// window placement: it is stored when the first of them covers the monitor and restored when the
// last of them ends, so every way out returns the window to exactly where it was.

struct ScreenModes {
    bool fullScreen = false;
    bool focusMode = false;
};

enum class ScreenEvent {
    FullScreen,       // F11, command 183: leaves distraction free, else toggles full screen
    DistractionFree,  // Shift+F11, command 184
    ExitFocus,        // Escape, the maximize button while distraction free
};

enum class PlacementStep {
    None,
    SaveAndCover,  // store the placement, then cover the nearest monitor
    Restore,       // put the stored placement back
};

struct ScreenTransition {
    ScreenModes next;
    PlacementStep placement = PlacementStep::None;
    bool enteredFocus = false;  // close menus and popups first, focus the editor afterwards
};

ScreenTransition NextScreenModes(ScreenModes now, ScreenEvent event);
