#include "document/document.h"

#include <gtest/gtest.h>

#include <sstream>
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

// Every field as text: a field the move leaves behind changes it.
std::wstring Describe(const Document& d) {
    std::wostringstream s;
    s << d.editor << ' ' << reinterpret_cast<void*>(d.baseEditorProc) << ' ' << d.path << ' ' << d.title << ' '
      << d.modified << d.readOnlyFile << d.readOnlyView << d.savedTextValid << d.hexMode << d.mapped
      << d.hexSavePointValid << d.hexCaretLowNibble << ' ' << d.language << ' ' << d.encoding << ' ' << d.lineEnding
      << ' ' << d.savedText << ' ' << d.fileTime << ' ' << d.fileSize << ' ' << d.mapFile << ' ' << d.mapObject << ' '
      << static_cast<const void*>(d.mapView) << ' ' << d.mapSize << ' ' << d.hexChangeCount << ' '
      << d.hexSavedChangeCount << ' ' << d.hexCaret << ' ' << d.hexTopRow << " bytes";
    for (uint8_t b : d.hexBytes) s << ' ' << int{b};
    for (const auto& [offset, value] : d.hexOverlay) s << " overlay " << offset << '=' << int{value};
    for (const HexEdit& e : d.hexUndo) s << " undo " << e.offset;
    for (const HexEdit& e : d.hexRedo) s << " redo " << e.offset;
    return s.str();
}

void ExpectFilled(const Document& d, unsigned n) {
    Document expected;
    Fill(expected, n);
    EXPECT_EQ(Describe(expected), Describe(d)) << n;
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
