#include "ui/toolbar.h"

#include <gtest/gtest.h>

#include <set>

TEST(Toolbar, TooltipJoinsLabelAndShortcut) {
    EXPECT_STREQ(L"New File (Ctrl+N)", ToolbarTooltipText(0));
    EXPECT_STREQ(L"Copy (Ctrl+C)", ToolbarTooltipText(7));
    EXPECT_STREQ(L"Hex Mode (Ctrl+Alt+H)", ToolbarTooltipText(15));
    EXPECT_STREQ(L"Settings (Ctrl+,)", ToolbarTooltipText(16));
    EXPECT_STREQ(L"", ToolbarTooltipText(17));
    EXPECT_STREQ(L"", ToolbarTooltipText(-1));
}

TEST(Toolbar, EveryButtonHasItsOwnCommandAndALabel) {
    std::set<int> commands;
    for (const ToolbarButton& b : kToolbarButtons) {
        commands.insert(b.command);
        EXPECT_STRNE(L"", LocalizedText(b.labelTable, b.labelEntry)) << b.command;
    }
    EXPECT_EQ(17u, commands.size());
}
