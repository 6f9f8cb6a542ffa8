#pragma once
#include <cstdint>
// The shared table for keys pressed with Ctrl (in an editor or in the main window): which command
// or action a combination runs, and the two-key chord Ctrl+K; and the other decisions of the
// editor's key and mouse handling that need no window.

enum class KeyAction { None, Command, SelectAll, SelectNextOccurrence, StartChord, ToggleSidebar };

struct KeyResult {
    KeyAction action = KeyAction::None;
    int command = 0;        // for KeyAction::Command
    char pendingChord = 0;  // the chord state after this key
};

// `vk` is the virtual-key code of a key pressed while Ctrl is held.
KeyResult LookupCtrlKey(unsigned vk, bool shift, bool alt, char pendingChord);

// Windows reports AltGr as Ctrl+Alt. A Ctrl+Alt press made with the right Alt key, or one that the
// keyboard layout turns into a printable character (`typedChar`, 0 when none), is typing: it runs
// no shortcut, and its character goes to the text as usual.
bool IsAltGrTyping(bool ctrl, bool alt, bool rightAlt, unsigned typedChar);

// Ctrl+drag, and any drag in column mode, selects a rectangle in an editor. A press starts one (not
// while the Ctrl+K chord waits for its second key), moves extend it while it lasts, and the
// button-up ends it, whatever keys are held by then. (Losing the mouse capture ends it too.)
enum class MouseEvent { Press, Move, Release };
enum class RectangleMouse { None, Start, Extend, End };
RectangleMouse RectangleMouseStep(MouseEvent event, bool dragging, bool columnMode, bool ctrl, bool chordPending);

// One macro entry replayed: a typed character, or the editing command of a recorded key.
// Keys are replayed as the component's commands rather than as key presses, so that modifiers
// still held from the playback shortcut (Ctrl+Shift+Q) do not turn Left into Ctrl+Shift+Left.
struct MacroStep {
    unsigned message = 0;  // 0: nothing to replay
    uintptr_t wParam = 0;
};
MacroStep MacroStepFor(int entry);

// The Ctrl combinations an editor hands to the table instead of to the component (Ctrl+D has its
// own branch). Ctrl+Alt+I is included so that the About shortcut shown in the Help menu works.
bool EditorRoutesCtrlKey(unsigned vk, bool alt);
