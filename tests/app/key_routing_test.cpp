#include "app/key_routing.h"

#include <gtest/gtest.h>

TEST(KeyRouting, CtrlChordsWithCommands) {
    const unsigned handled[] = {0x03, 0x20, 'A', 'B', 'D', 'F',  'G',  'H',  'K',  'L',  'N',  'O', 'P',
                                'Q',  'R',  'S', 'U', 'W', 0x70, 0xBC, 0xBF, 0xBB, 0xBD, 0x6B, 0x6D};
    for (unsigned vk : handled) {
        EXPECT_EQ(ClassifyMainKeyDown(vk, true, false), MainKeyAction::CtrlHandler) << vk;
        EXPECT_EQ(ClassifyMainKeyDown(vk, true, true), MainKeyAction::CtrlHandler) << vk;
    }
    // Editing chords belong to the editor.
    const unsigned editing[] = {'C', 'E', 'I', 'J', 'M', 'T', 'V', 'X', 'Y', 'Z', 0x72, 0x7A, 0x0D};
    for (unsigned vk : editing) EXPECT_EQ(ClassifyMainKeyDown(vk, true, false), MainKeyAction::PassToEditor) << vk;
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
