#include "ui/key_table.h"

#include <gtest/gtest.h>

namespace {

int CommandOf(unsigned vk, bool shift = false, bool alt = false) {
    const KeyResult r = LookupCtrlKey(vk, shift, alt, 0);
    return r.action == KeyAction::Command ? r.command : (r.action == KeyAction::None ? 0 : -1);
}

TEST(KeyTable, EveryDocumentedCtrlCombination) {
    const struct {
        unsigned vk;
        bool shift;
        bool alt;
        int command;
    } table[] = {
        {0x03, false, false, 222},
        {0x20, true, false, 140},
        {'B', false, false, 221},
        {'F', false, false, 160},
        {'F', true, false, 162},
        {'G', false, false, 203},
        {'H', false, false, 161},
        {'L', true, false, 143},
        {'N', false, false, 100},
        {'O', false, false, 101},
        {'P', false, false, 200},
        {'P', true, false, 220},
        {'Q', false, false, 223},
        {'Q', true, false, 224},
        {'R', false, false, 202},
        {'S', false, false, 103},
        {'S', true, false, 104},
        {'U', true, false, 141},
        {'W', false, false, 107},
        {'W', true, false, 108},
        {0x70, false, false, 280},
        {0xBC, false, false, 260},
        {0xBF, false, false, 127},
        // Zoom: "+" is "=" with Shift on the main keyboard; the keypad has both signs of its own.
        {0xBB, false, false, 290},
        {0xBB, true, false, 290},
        {0x6B, false, false, 290},
        {0xBD, false, false, 291},
        {0x6D, false, false, 291},
        // Ctrl+Alt
        {'B', false, true, 182},
        {'F', false, true, 242},
        {'H', false, true, 185},
        {'I', false, true, 282},
        {'K', false, true, 261},
        {'O', false, true, 102},
        {'P', false, true, 240},
        {'P', true, true, 241},
        {'S', false, true, 105},
        {'S', true, true, 241},
        {'U', false, true, 281},
        {'W', true, true, 108},
    };
    for (const auto& row : table)
        EXPECT_EQ(row.command, CommandOf(row.vk, row.shift, row.alt))
            << row.vk << " shift " << row.shift << " alt " << row.alt;
    EXPECT_EQ(KeyAction::SelectAll, LookupCtrlKey('A', false, false, 0).action);
    EXPECT_EQ(KeyAction::SelectNextOccurrence, LookupCtrlKey('D', false, false, 0).action);
}

TEST(KeyTable, KeysThatMustDoNothing) {
    for (unsigned vk : {0x20u, unsigned('L'), unsigned('U')}) EXPECT_EQ(0, CommandOf(vk)) << vk;  // without Shift
    EXPECT_EQ(0, CommandOf('W', false, true));  // Ctrl+Alt+W without Shift
    EXPECT_EQ(0, CommandOf('Z'));               // left to the component
    EXPECT_EQ(0, CommandOf('A', false, true));
}

// AltGr arrives as Ctrl+Alt: AltGr+S is "ś" on a Polish layout, AltGr+B "{" on a Czech one.
TEST(KeyTable, AltGrIsTypingNotAShortcut) {
    EXPECT_TRUE(IsAltGrTyping(true, true, true, 0));  // right Alt held, character not yet known
    EXPECT_TRUE(IsAltGrTyping(true, true, true, '{'));
    EXPECT_TRUE(IsAltGrTyping(true, true, false, 0x015B));  // left Ctrl+Alt also type "ś" there
    EXPECT_FALSE(IsAltGrTyping(true, true, false, 0));      // Ctrl+Alt+S without a character: Save All
    EXPECT_FALSE(IsAltGrTyping(true, true, false, 0x13));   // control characters are not typing
    EXPECT_FALSE(IsAltGrTyping(true, true, false, 0x7F));
    EXPECT_FALSE(IsAltGrTyping(true, false, false, 's'));  // Ctrl alone
    EXPECT_FALSE(IsAltGrTyping(false, false, false, 's'));
}

TEST(KeyTable, ChordCtrlKThenCtrlB) {
    const KeyResult k = LookupCtrlKey('K', false, false, 0);
    EXPECT_EQ(KeyAction::StartChord, k.action);
    EXPECT_EQ('K', k.pendingChord);
    EXPECT_EQ(KeyAction::ToggleSidebar, LookupCtrlKey('B', false, false, 'K').action);
    // Any other key completes the chord and does nothing: Ctrl+K, Ctrl+S neither saves nor toggles.
    const KeyResult s = LookupCtrlKey('S', false, false, 'K');
    EXPECT_EQ(KeyAction::None, s.action);
    EXPECT_EQ(0, s.pendingChord);
    EXPECT_EQ(103, CommandOf('S'));
}

TEST(KeyTable, RectangleDragEndsAtTheButtonUpWhateverKeysAreHeld) {
    using E = MouseEvent;
    using R = RectangleMouse;
    EXPECT_EQ(R::Start, RectangleMouseStep(E::Press, false, false, true, false));  // Ctrl+press
    EXPECT_EQ(R::Start, RectangleMouseStep(E::Press, false, true, false, false));  // column mode
    EXPECT_EQ(R::None, RectangleMouseStep(E::Press, false, false, true, true));    // Ctrl+K pending
    EXPECT_EQ(R::None, RectangleMouseStep(E::Press, false, false, false, false));
    // Ctrl let go before the button: the drag goes on to the button-up and ends there.
    EXPECT_EQ(R::Extend, RectangleMouseStep(E::Move, true, false, false, false));
    EXPECT_EQ(R::End, RectangleMouseStep(E::Release, true, false, false, false));
    EXPECT_EQ(R::None, RectangleMouseStep(E::Release, false, true, true, false));
    EXPECT_EQ(R::None, RectangleMouseStep(E::Move, false, true, true, false));
}

TEST(KeyTable, EditorHandsOnlyTheTableKeysToIt) {
    for (unsigned vk : {0x03u, 0x20u, unsigned('A'), unsigned('S'), unsigned('W'), 0x70u, 0xBCu, 0xBFu})
        EXPECT_TRUE(EditorRoutesCtrlKey(vk, false)) << vk;
    // The component would zoom only its own window on Ctrl with the keypad's signs.
    for (unsigned vk : {0xBBu, 0xBDu, 0x6Bu, 0x6Du}) EXPECT_TRUE(EditorRoutesCtrlKey(vk, false)) << vk;
    for (unsigned vk : {unsigned('C'), unsigned('V'), unsigned('X'), unsigned('Z'), unsigned('Y'), unsigned('D')})
        EXPECT_FALSE(EditorRoutesCtrlKey(vk, false)) << vk;
    EXPECT_FALSE(EditorRoutesCtrlKey('I', false));
    EXPECT_TRUE(EditorRoutesCtrlKey('I', true));
}

}  // namespace

namespace {

// Recording a, b, Backspace, Left, Enter and Shift+Right replays as a, b, backspace, left, return,
// right (the Shift is not recorded).
TEST(Macro, ReplaysCharactersAndEditingCommands) {
    const int recorded[] = {'a', 'b', 8, -0x25, 13, -0x27};
    const MacroStep expected[] = {{0x0102, 'a'}, {0x0102, 'b'}, {2326, 0}, {2304, 0}, {2329, 0}, {2306, 0}};
    for (size_t i = 0; i < 6; ++i) {
        const MacroStep step = MacroStepFor(recorded[i]);
        EXPECT_EQ(expected[i].message, step.message) << i;
        EXPECT_EQ(expected[i].wParam, step.wParam) << i;
    }
    EXPECT_EQ(0u, MacroStepFor(-0x41).message);  // not a recorded key
    EXPECT_EQ(0x0102u, MacroStepFor(0x4E2D).message);
}

}  // namespace
