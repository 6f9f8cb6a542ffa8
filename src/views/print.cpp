#include "views/print.h"

#include <windows.h>
#include <commdlg.h>

#include <cwchar>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/editor.h"
#include "document/document.h"
#include "ui/strings.h"
#include "document/hex_model.h"
#include "views/hex_view.h"

namespace {

// Asked before a printout this long; the user can also stop it with Escape between pages.
constexpr int64_t kAskAbovePages = 1000;

// Lenient: a broken sequence prints as a replacement character rather than dropping the line.
std::wstring DecodeLine(const char* data, size_t length) {
    if (length == 0) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, data, static_cast<int>(length), nullptr, 0);
    std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, data, static_cast<int>(length), out.data(), n);
    return out;
}

void Message(const std::wstring& text, UINT icon) { MessageBoxW(app.mainWindow, text.c_str(), L"Tessary", MB_OK | icon); }

void Text(HDC dc, int x, int y, const std::wstring& text) {
    TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
}

int TextWidth(HDC dc, const std::wstring& text) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

}  // namespace

void PrintActiveTab() {
    Document* doc = ActiveDocument();
    if (!doc) return;
    PRINTDLGW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = app.mainWindow;
    dialog.Flags = PD_RETURNDC | PD_NOPAGENUMS | PD_NOSELECTION | PD_USEDEVMODECOPIESANDCOLLATE;
    dialog.nCopies = 1;
    const bool chosen = PrintDlgW(&dialog) && dialog.hDC;
    if (dialog.hDevMode) GlobalFree(dialog.hDevMode);
    if (dialog.hDevNames) GlobalFree(dialog.hDevNames);
    if (!chosen) {
        if (dialog.hDC) DeleteDC(dialog.hDC);
        return;
    }
    HDC dc = dialog.hDC;
    const int dx = GetDeviceCaps(dc, LOGPIXELSX), dy = GetDeviceCaps(dc, LOGPIXELSY);
    const int width = GetDeviceCaps(dc, HORZRES), height = GetDeviceCaps(dc, VERTRES);
    HFONT font = CreateFontW(-MulDiv(10, dy, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_MODERN, L"Consolas");
    HGDIOBJ oldFont = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const PrintLayout layout =
        ComputePrintLayout(dx, dy, width, height, metrics.tmHeight + metrics.tmExternalLeading, metrics.tmAveCharWidth);
    auto release = [&] {
        SelectObject(dc, oldFont);
        DeleteObject(font);
        DeleteDC(dc);
    };

    // Text lines are spans of the editor's text; hex rows are made page by page as they print.
    std::string text;
    std::vector<TextSpan> spans;
    uint64_t lineCount = 0;
    if (doc->hexMode) {
        lineCount = HexRowCount64(*doc);
    } else {
        text = editor::GetText(doc->editor);
        spans = SplitPrintLines(text);
        lineCount = spans.size();
    }
    if (lineCount == 0) {
        release();
        Message(MessageFor(MessageText::PrintNothing), MB_ICONINFORMATION);
        return;
    }
    const int64_t pages = PrintPageCount(lineCount, layout.linesPerPage);
    if (pages > kAskAbovePages) {
        wchar_t question[512];
        std::swprintf(question, 512, LocalizedText(StringTable::HexMessages, 3), static_cast<long long>(pages));
        if (MessageBoxW(app.mainWindow, question, L"Tessary", MB_YESNO | MB_ICONQUESTION) != IDYES) {
            release();
            return;
        }
    }
    DOCINFOW info{};
    info.cbSize = sizeof info;
    info.lpszDocName = doc->title.c_str();
    if (StartDocW(dc, &info) <= 0) {
        release();
        Message(MessageFor(MessageText::PrintCannotStart), MB_ICONERROR);
        return;
    }
    const std::wstring header = doc->path.empty() ? L"Tessary \u2014 " + MessageFor(MessageText::PrintUntitled) : doc->path;
    SYSTEMTIME now{};
    GetLocalTime(&now);
    wchar_t stamp[32];
    std::swprintf(stamp, 32, L"%04d-%02d-%02d %02d:%02d", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute);
    bool failed = false, stopped = false, allRead = true;
    for (int64_t page = 1; page <= pages && !failed && !stopped; ++page) {
        if (StartPage(dc) <= 0) {
            failed = true;
            break;
        }
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkMode(dc, TRANSPARENT);
        Text(dc, layout.left, layout.headerY, header);
        Text(dc, width - TextWidth(dc, stamp) - dx, layout.headerY, stamp);
        const uint64_t first = static_cast<uint64_t>(page - 1) * static_cast<uint64_t>(layout.linesPerPage);
        for (int64_t i = 0; i < layout.linesPerPage && first + i < lineCount; ++i) {
            const uint64_t index = first + static_cast<uint64_t>(i);
            std::wstring line;
            if (doc->hexMode) {
                bool ok = true;
                const std::string row = HexPrintLine(*doc, index, ok);
                allRead = allRead && ok;
                line.assign(row.begin(), row.end());
            } else {
                line = DecodeLine(text.data() + spans[index].start, spans[index].length);
            }
            Text(dc, layout.left, layout.bodyY + static_cast<int>(i) * layout.lineHeight,
                 FitPrintLine(line, layout.charsPerLine));
        }
        wchar_t footer[64];
        std::swprintf(footer, 64, L"- %lld / %lld -", static_cast<long long>(page), static_cast<long long>(pages));
        Text(dc, (width - TextWidth(dc, footer)) / 2, layout.footerY, footer);
        if (EndPage(dc) <= 0) failed = true;
        // Escape held between pages stops a long printout.
        if (GetAsyncKeyState(VK_ESCAPE) & 0x8000) stopped = true;
    }
    if (failed || stopped)
        AbortDoc(dc);
    else
        EndDoc(dc);
    release();
    if (failed) Message(MessageFor(MessageText::PrintCannotStart), MB_ICONERROR);
    if (!allRead) ReportHexReadFailure();
}
