#include "document/document.h"

#include <gtest/gtest.h>

#include <utility>

// Documents own window and mapping handles: a move must hand them over and leave nothing behind
// that a later close could release twice.
TEST(Document, MoveHandsOverHandles) {
    Document a;
    a.editor = reinterpret_cast<HWND>(0x1234);
    a.mapFile = reinterpret_cast<HANDLE>(0x10);
    a.mapObject = reinterpret_cast<HANDLE>(0x20);
    a.mapSize = 99;
    a.mapped = 1;
    a.title = L"a.txt";
    a.hexOverlay[5] = 7;

    Document b(std::move(a));
    EXPECT_EQ(reinterpret_cast<HWND>(0x1234), b.editor);
    EXPECT_EQ(reinterpret_cast<HANDLE>(0x20), b.mapObject);
    EXPECT_EQ(99u, b.mapSize);
    EXPECT_EQ(1, b.mapped);
    EXPECT_EQ(L"a.txt", b.title);
    EXPECT_EQ(7, b.hexOverlay.at(5));
    EXPECT_EQ(nullptr, a.editor);
    EXPECT_EQ(nullptr, a.mapFile);
    EXPECT_EQ(nullptr, a.mapObject);
    EXPECT_EQ(0u, a.mapSize);
    EXPECT_EQ(0, a.mapped);
}

TEST(Document, ListGrowthKeepsEveryRecordIntact) {
    DocumentList list;
    for (int i = 0; i < 100; ++i) {
        Document d;
        d.editor = reinterpret_cast<HWND>(static_cast<intptr_t>(i + 1));
        d.title = L"t" + std::to_wstring(i);
        list.push_back(std::move(d));
    }
    list.erase(list.begin() + 10);
    ASSERT_EQ(99u, list.size());
    EXPECT_EQ(reinterpret_cast<HWND>(12), list[10].editor);
    EXPECT_EQ(L"t99", list.back().title);
}

TEST(Document, NewRecordIsEmpty) {
    Document d;
    EXPECT_TRUE(d.path.empty());
    EXPECT_EQ(nullptr, d.editor);
    EXPECT_EQ(0, d.modified);
    EXPECT_FLOAT_EQ(1.0f, d.hexOverlay.max_load_factor());
}
