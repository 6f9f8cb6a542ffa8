#include "shell/key_routing.h"

#include <gtest/gtest.h>

#include "shell/key_table.h"

// A Ctrl key the shared table gives an action must reach it from the main window too (in hex
// mode the editor is hidden and the main window has the keyboard).
TEST(KeyRouting, EveryCtrlKeyOfTheTableReachesItsHandler) {
    int routed = 0;
    for (unsigned vk = 1; vk < 256; ++vk) {
        for (bool shift : {false, true}) {
            for (bool alt : {false, true}) {
                if (LookupCtrlKey(vk, shift, alt, 0).action == KeyAction::None) continue;
                if (vk == 'I' && alt) continue;  // Ctrl+Alt+I is passed on to the editor, which routes it
                ++routed;
                EXPECT_EQ(ClassifyMainKeyDown(vk, true, shift), MainKeyAction::CtrlHandler) << vk;
            }
        }
    }
    EXPECT_GE(routed, 40);
    // Editing chords belong to the editor.
    for (unsigned vk : {'C', 'V', 'X', 'Y', 'Z'})
        EXPECT_EQ(ClassifyMainKeyDown(vk, true, false), MainKeyAction::PassToEditor) << vk;
}

TEST(KeyRouting, FunctionKeysWithoutCtrl) {
    EXPECT_EQ(ClassifyMainKeyDown(0x70, false, false), MainKeyAction::Documentation);
    EXPECT_EQ(ClassifyMainKeyDown(0x70, false, true), MainKeyAction::Documentation);
    EXPECT_EQ(ClassifyMainKeyDown(0x72, false, false), MainKeyAction::FindNext);
    EXPECT_EQ(ClassifyMainKeyDown(0x72, false, true), MainKeyAction::FindPrevious);
    EXPECT_EQ(ClassifyMainKeyDown(0x7A, false, false), MainKeyAction::FullScreen);
    EXPECT_EQ(ClassifyMainKeyDown(0x7A, false, true), MainKeyAction::FocusMode);
    EXPECT_EQ(ClassifyMainKeyDown(0x1B, false, false), MainKeyAction::Escape);
    EXPECT_EQ(ClassifyMainKeyDown(0x1B, true, true), MainKeyAction::Escape);
}

TEST(KeyRouting, PlainKeysGoToEditor) {
    const unsigned plain[] = {'A', 'S', 0x20, 0x03, 0xBC, 0x0D, 0x71};
    for (unsigned vk : plain) EXPECT_EQ(ClassifyMainKeyDown(vk, false, false), MainKeyAction::PassToEditor) << vk;
}

TEST(KeyRouting, ControlCharactersFromCtrlChordsAreDropped) {
    EXPECT_TRUE(DropControlChar(0x01, true));  // Ctrl+A
    EXPECT_TRUE(DropControlChar(0x1F, true));
    EXPECT_FALSE(DropControlChar(0x20, true));
    EXPECT_FALSE(DropControlChar(L'a', true));   // AltGr chords arrive with Ctrl set
    EXPECT_FALSE(DropControlChar(0x09, false));  // plain Tab
    EXPECT_FALSE(DropControlChar(0x0D, false));
}
