#include "shell/key_table.h"

#include <gtest/gtest.h>

#include <string>

#include "shell/menu_model.h"
#include "support/source_file.h"

namespace {

int CommandOf(unsigned vk, bool shift = false, bool alt = false) {
    const KeyResult r = LookupCtrlKey(vk, shift, alt, 0);
    return r.action == KeyAction::Command ? r.command : (r.action == KeyAction::None ? 0 : -1);
}

// A shortcut as the menus and the manual write it ("Ctrl+Alt+Shift+P", "Ctrl++", "Ctrl+K Ctrl+B").
struct Shortcut {
    bool ok = false, shift = false, alt = false;
    unsigned vk = 0;
    bool chord = false;  // Ctrl+K first
};

Shortcut Parse(std::wstring text) {
    Shortcut s;
    if (text.rfind(L"Ctrl+K Ctrl+", 0) == 0) {
        s.chord = true;
        text = text.substr(7);
    }
    if (text.rfind(L"Ctrl+", 0) != 0) return s;
    text = text.substr(5);
    for (;;) {
        if (text.rfind(L"Alt+", 0) == 0) {
            s.alt = true;
            text = text.substr(4);
        } else if (text.rfind(L"Shift+", 0) == 0) {
            s.shift = true;
            text = text.substr(6);
        } else {
            break;
        }
    }
    const struct {
        const wchar_t* name;
        unsigned vk;
    } named[] = {{L"+", 0xBB},     {L"-", 0xBD},     {L",", 0xBC}, {L"/", 0xBF},
                 {L"Space", 0x20}, {L"Break", 0x03}, {L"F1", 0x70}};
    for (const auto& n : named) {
        if (text == n.name) s.vk = n.vk;
    }
    if (text.size() == 1 && text[0] >= L'A' && text[0] <= L'Z') s.vk = text[0];
    s.ok = s.vk != 0;
    return s;
}

KeyResult Press(const Shortcut& s) {
    if (!s.chord) return LookupCtrlKey(s.vk, s.shift, s.alt, 0);
    const KeyResult first = LookupCtrlKey('K', false, false, 0);
    return LookupCtrlKey(s.vk, s.shift, s.alt, first.pendingChord);
}

// Undo, redo, cut, copy and paste are the editing component's own keys.
bool ComponentKey(unsigned vk) { return vk == 'Z' || vk == 'Y' || vk == 'X' || vk == 'C' || vk == 'V'; }

std::string Utf8(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// Every shortcut a menu shows runs that menu item's command.
TEST(KeyTable, MenuShortcutsRunTheirItems) {
    int checked = 0;
    for (const Menu& menu : BuildEnglishMenuModel().menus) {
        for (const MenuItem& item : menu.items) {
            const Shortcut s = Parse(item.shortcut);
            if (!s.ok) continue;
            ++checked;
            const KeyResult r = Press(s);
            if (ComponentKey(s.vk)) {
                EXPECT_EQ(KeyAction::None, r.action) << Utf8(item.shortcut);
            } else if (item.id == 126) {
                EXPECT_EQ(KeyAction::SelectAll, r.action);
            } else if (item.id == 180) {
                EXPECT_EQ(KeyAction::ToggleSidebar, r.action);
            } else {
                EXPECT_EQ(KeyAction::Command, r.action) << Utf8(item.shortcut);
                EXPECT_EQ(item.id, r.command) << Utf8(item.shortcut);
            }
        }
    }
    EXPECT_GE(checked, 30);
}

// Every Ctrl shortcut the manual's keyboard table documents does something.
TEST(KeyTable, ManualShortcutsAllWork) {
    const std::string html = ReadSourceFile("docs/manual.html");
    ASSERT_FALSE(html.empty()) << SourcePath("docs/manual.html");
    const size_t table = html.find("<h2>Keyboard</h2>");
    ASSERT_NE(table, std::string::npos);
    int checked = 0;
    for (size_t at = html.find("<kbd>", table); at != std::string::npos; at = html.find("<kbd>", at + 1)) {
        const size_t end = html.find("</kbd>", at);
        std::string key = html.substr(at + 5, end - at - 5);
        // "Ctrl+K</kbd> then <kbd>Ctrl+B" is the chord.
        if (key == "Ctrl+K" && html.compare(end, 23, "</kbd> then <kbd>Ctrl+B") == 0) {
            key = "Ctrl+K Ctrl+B";
            at = html.find("<kbd>", end);
        }
        const Shortcut s = Parse(std::wstring(key.begin(), key.end()));
        if (!s.ok) continue;  // no Ctrl, or Ctrl with the mouse
        ++checked;
        EXPECT_TRUE(ComponentKey(s.vk) || Press(s).action != KeyAction::None) << key;
    }
    EXPECT_GE(checked, 35);
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

// The chord (Ctrl+K then Ctrl+B toggles the sidebar; Ctrl+K, Ctrl+S does nothing) is the end-to-end
// test's (test_keys_and_macros.sh).

TEST(KeyTable, RectangleDragEndsAtTheButtonUpWhateverKeysAreHeld) {
    using E = MouseEvent;
    using R = RectangleMouse;
    EXPECT_EQ(R::Start, RectangleMouseStep(E::Press, false, false, true, false));  // Ctrl+press
    EXPECT_EQ(R::Start, RectangleMouseStep(E::Press, false, true, false, false));  // column mode
    EXPECT_EQ(R::None, RectangleMouseStep(E::Press, false, false, true, true));    // Ctrl+K pending
    EXPECT_EQ(R::None, RectangleMouseStep(E::Press, false, false, false, false));
    // (Ctrl let go before the button, the drag ending at the button-up, is the end-to-end test's.)
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
