#include "views/views.h"

#include <cwchar>
#include <string>
#include <vector>

#include "base/app_state.h"
#include "base/editor.h"
#include "base/gdi_util.h"
#include "views/scroll_bars.h"
#include "document/document.h"
#include "base/encoding.h"
#include "persist/recovery.h"
#include "syntax/languages.h"
#include "syntax/palette.h"
#include "tools/build_runner.h"
#include "base/strings.h"
#include "document/hex_model.h"
#include "views/hex_view.h"

void PaintEditorArea(HDC dc) {
    PaintScrollBars(dc);
    PaintHexView(dc);
}

namespace {

// "Ln 3, Col 7" and the rest of the left-hand text, for the active editor.
std::wstring CaretText(HWND ed) {
    using namespace editor;
    const long long caret = Send(ed, kGetCurrentPos);
    const long long line = Send(ed, kLineFromPosition, static_cast<WPARAM>(caret));
    const long long column = Send(ed, kGetColumn, static_cast<WPARAM>(caret));
    const long long selected = Send(ed, kGetSelectionEnd) - Send(ed, kGetSelectionStart);
    wchar_t text[256];
    int n = std::swprintf(text, 256, L"%ls %lld, %ls %lld", LocalizedText(StringTable::General, 12), line + 1,
                          LocalizedText(StringTable::General, 13), column + 1);
    if (selected > 0 && n > 0)
        n += std::swprintf(text + n, 256 - n, L"   |   %lld %ls", selected, LocalizedText(StringTable::General, 14));
    if (n > 0)
        std::swprintf(text + n, 256 - n, L"   |   %ls: %d", LocalizedText(StringTable::General, 15),
                      app.settings.tabWidth);
    return StatusModePrefixes(app.columnMode != 0, app.macroRecording != 0) + text;
}

}  // namespace

std::wstring HexCaretStatusText(uint64_t offset, int byteValue, const std::wstring& offsetWord,
                                const std::wstring& byteWord) {
    wchar_t text[160];
    int n = std::swprintf(text, 160, L"%ls 0x%llX (%llu)", offsetWord.c_str(), static_cast<unsigned long long>(offset),
                          static_cast<unsigned long long>(offset));
    if (byteValue >= 0 && n > 0)
        std::swprintf(text + n, 160 - n, L"   |   %ls 0x%02X (%d)", byteWord.c_str(), byteValue & 0xFF,
                      byteValue & 0xFF);
    return text;
}

std::wstring StatusModePrefixes(bool columnMode, bool recording) {
    std::wstring prefix;
    if (columnMode) prefix += L"[COL] ";
    if (recording) prefix += L"\u25CF REC ";
    return prefix;
}

namespace {

int statusTextRight = -1;  // where the caret text ends and the segments begin, as last painted

}  // namespace

void PaintStatusBar(HDC dc) {
    statusTextRight = -1;
    if (app.focusMode || !app.statusBarVisible) return;
    const Rect& bar = app.rects.statusBar;
    FillSolid(dc, bar, palette.panelColor);
    const Document* doc = ActiveDocument();
    if (!doc || !doc->editor) return;
    std::wstring left;
    if (app.progressPercent >= 0) {
        // A long load or save: how far it has got, in place of the caret position (whose column
        // could take a walk along a line of the whole file).
        FillSolid(dc, Rect{bar.left, bar.top, bar.left + bar.Width() * app.progressPercent / 100, bar.top + Px(2)},
                  palette.accentColor);
        left = std::to_wstring(app.progressPercent) + L" %";
    } else if (doc->hexMode) {
        const auto caret = static_cast<uint64_t>(doc->hexCaret < 0 ? 0 : doc->hexCaret);
        bool readable = true;
        const int byteValue = caret < HexSize(*doc) ? ReadByte(*doc, caret, &readable) : -1;
        left = HexCaretStatusText(caret, readable ? byteValue : -1, MessageFor(MessageText::HexOffsetWord),
                                  MessageFor(MessageText::HexByteWord));
    } else {
        left = CaretText(doc->editor);
    }
    DrawTextBox(dc, left, Rect{bar.left + Px(12), bar.top, bar.right, bar.bottom}, app.uiFont, palette.dimTextColor,
                DT_LEFT);
    HGDIOBJ previous = SelectObject(dc, app.uiFont);
    SIZE leftSize{};
    GetTextExtentPoint32W(dc, left.c_str(), static_cast<int>(left.size()), &leftSize);
    SelectObject(dc, previous);

    // Right-hand segments, drawn from the last to the first.
    static const wchar_t* const kLineEndingNames[] = {L"Windows (CRLF)", L"Unix (LF)", L"Mixed", L"Mac (CR)"};
    // A hex tab shows bytes: the text's line endings and encoding say nothing about them.
    std::vector<std::wstring> segments;
    if (doc->hexMode) {
        segments = {LocalizedText(StringTable::HexModeLabel, 0), LanguageDisplayName(doc->language)};
    } else {
        segments = {kLineEndingNames[doc->lineEnding & 3], EncodingName(static_cast<uint32_t>(doc->encoding)),
                    LanguageDisplayName(doc->language)};
    }
    if (!RecoveryNotice().empty()) segments.insert(segments.begin(), RecoveryNotice());
    const std::wstring build = BuildStatusText(doc->editor);
    if (!build.empty()) segments.insert(segments.begin(), build);
    if (doc->readOnlyFile) segments.push_back(MessageFor(MessageText::ReadOnlyMark));
    if (doc->modified) segments.push_back(L"*");
    segments.push_back(std::wstring(L"  ") + LanguageName(app.uiLanguage));
    HGDIOBJ old = SelectObject(dc, app.uiFont);
    int right = bar.right - Px(12);
    for (auto it = segments.rbegin(); it != segments.rend(); ++it) {
        DrawTextBox(dc, *it, Rect{bar.left, bar.top, right, bar.bottom}, app.uiFont, palette.dimTextColor, DT_RIGHT);
        SIZE size{};
        GetTextExtentPoint32W(dc, it->c_str(), static_cast<int>(it->size()), &size);
        right -= size.cx + Px(18);
    }
    SelectObject(dc, old);
    // The caret text changes with every key; the segments right of it only with the tab's state.
    const int segmentsLeft = right + Px(18);
    const int textRight = bar.left + Px(12) + leftSize.cx;
    statusTextRight = textRight < segmentsLeft ? segmentsLeft : bar.right;
}

Rect StatusBarTextRect() {
    const Rect& bar = app.rects.statusBar;
    if (statusTextRight < 0 || statusTextRight > bar.right) return bar;
    return Rect{bar.left, bar.top, statusTextRight, bar.bottom};
}
