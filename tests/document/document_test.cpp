#include "document/document.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

template <typename T>
T Handle(uintptr_t value) {
    return reinterpret_cast<T>(value);
}

// Every field gets a value of its own, so that a field the hand-written move leaves out shows.
void Fill(Document& d, unsigned n) {
    d.editor = Handle<HWND>(n + 1);
    d.baseEditorProc = Handle<WNDPROC>(n + 2);
    d.path = L"C:\\" + std::to_wstring(n);
    d.title = std::to_wstring(n);
    d.modified = d.readOnlyFile = d.readOnlyView = d.savedTextValid = d.hexMode = d.mapped = 1;
    d.hexSavePointValid = d.hexCaretLowNibble = 1;
    d.language = n + 3;
    d.encoding = n + 4;
    d.lineEnding = n + 5;
    d.savedText = L"saved " + d.title;
    d.fileTime = n + 6;
    d.fileSize = n + 7;
    d.hexBytes = {1, 2, static_cast<uint8_t>(n)};
    d.hexOverlay[n] = 8;
    d.mapFile = Handle<HANDLE>(n + 9);
    d.mapObject = Handle<HANDLE>(n + 10);
    d.mapView = Handle<const uint8_t*>(n + 11);
    d.mapSize = n + 12;
    d.hexUndo = {{n, 1, 2}};
    d.hexRedo = {{n, 3, 4}, {n, 5, 6}};
    d.hexChangeCount = n + 13;
    d.hexSavedChangeCount = n + 14;
    d.hexCaret = n + 15;
    d.hexTopRow = n + 16;
}

void ExpectFilled(const Document& d, unsigned n) {
    SCOPED_TRACE(n);
    EXPECT_EQ(Handle<HWND>(n + 1), d.editor);
    EXPECT_EQ(Handle<WNDPROC>(n + 2), d.baseEditorProc);
    EXPECT_EQ(L"C:\\" + std::to_wstring(n), d.path);
    EXPECT_EQ(std::to_wstring(n), d.title);
    for (int flag : {d.modified, d.readOnlyFile, d.readOnlyView, d.savedTextValid, d.hexMode, d.mapped,
                     d.hexSavePointValid, d.hexCaretLowNibble})
        EXPECT_EQ(1, flag);
    EXPECT_EQ(static_cast<int>(n + 3), d.language);
    EXPECT_EQ(static_cast<int>(n + 4), d.encoding);
    EXPECT_EQ(static_cast<int>(n + 5), d.lineEnding);
    EXPECT_EQ(L"saved " + d.title, d.savedText);
    EXPECT_EQ(n + 6, d.fileTime);
    EXPECT_EQ(n + 7, d.fileSize);
    EXPECT_EQ((std::vector<uint8_t>{1, 2, static_cast<uint8_t>(n)}), d.hexBytes);
    ASSERT_EQ(1u, d.hexOverlay.size());
    EXPECT_EQ(8, d.hexOverlay.at(n));
    EXPECT_EQ(Handle<HANDLE>(n + 9), d.mapFile);
    EXPECT_EQ(Handle<HANDLE>(n + 10), d.mapObject);
    EXPECT_EQ(Handle<const uint8_t*>(n + 11), d.mapView);
    EXPECT_EQ(n + 12, d.mapSize);
    ASSERT_EQ(1u, d.hexUndo.size());
    EXPECT_EQ(n, d.hexUndo[0].offset);
    EXPECT_EQ(2u, d.hexRedo.size());
    EXPECT_EQ(n + 13, d.hexChangeCount);
    EXPECT_EQ(n + 14, d.hexSavedChangeCount);
    EXPECT_EQ(static_cast<int>(n + 15), d.hexCaret);
    EXPECT_EQ(static_cast<int>(n + 16), d.hexTopRow);
}

}  // namespace

// Growing the list moves records with the move constructor, removing a tab with the move assignment.
TEST(Document, ListGrowthAndRemovalKeepEveryField) {
    DocumentList list;
    for (unsigned i = 0; i < 40; ++i) Fill(list.emplace_back(), i);
    list.erase(list.begin() + 10);
    ASSERT_EQ(39u, list.size());
    for (unsigned i = 0; i < 39; ++i) ExpectFilled(list[i], i < 10 ? i : i + 1);
}

// A moved-from record keeps no handle that a later close could release a second time.
TEST(Document, MoveHandsOverHandles) {
    Document a;
    Fill(a, 0);
    Document b(std::move(a));
    ExpectFilled(b, 0);
    EXPECT_EQ(nullptr, a.editor);
    EXPECT_EQ(nullptr, a.mapFile);
    EXPECT_EQ(nullptr, a.mapObject);
    EXPECT_EQ(nullptr, a.mapView);
    EXPECT_EQ(0u, a.mapSize);
    EXPECT_EQ(0, a.mapped);
}
