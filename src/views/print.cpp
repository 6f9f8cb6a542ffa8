#include "views/print.h"

#include <windows.h>
#include <commdlg.h>

#include <cwchar>
#include <string>
#include <vector>

#include "base/app_state.h"
#include "base/editor.h"
#include "document/document.h"
#include "base/strings.h"
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

// The printer the user chose, as a device context; null when the dialog was cancelled.
HDC ChoosePrinter() {
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
        return nullptr;
    }
    return dialog.hDC;
}

// What a printout prints: text lines are spans of the editor's text; hex rows are made page by
// page as they print.
struct PrintSource {
    const Document* doc = nullptr;
    std::string text;
    std::vector<TextSpan> spans;
    uint64_t lineCount = 0;
    bool allRead = true;  // every hex row printed could be read
};

void TakeLines(const Document& doc, PrintSource& source) {
    source.doc = &doc;
    if (doc.hexMode) {
        source.lineCount = HexRowCount64(doc);
    } else {
        source.text = editor::GetText(doc.editor);
        source.spans = SplitPrintLines(source.text);
        source.lineCount = source.spans.size();
    }
}

std::wstring LineAt(PrintSource& source, uint64_t index) {
    if (!source.doc->hexMode) {
        const TextSpan& span = source.spans[index];
        return DecodeLine(source.text.data() + span.start, span.length);
    }
    bool ok = true;
    const std::string row = HexPrintLine(*source.doc, index, ok);
    source.allRead = source.allRead && ok;
    return std::wstring(row.begin(), row.end());
}

// A printout of more than kAskAbovePages pages goes ahead only after the user's Yes.
bool PageCountAccepted(int64_t pages) {
    if (pages <= kAskAbovePages) return true;
    wchar_t question[512];
    std::swprintf(question, 512, LocalizedText(StringTable::HexMessages, 3), static_cast<long long>(pages));
    return MessageBoxW(app.mainWindow, question, L"Tessary", MB_YESNO | MB_ICONQUESTION) == IDYES;
}

// What every page shows besides its lines.
struct PageFrame {
    PrintLayout layout;
    int width = 0;  // of the printable area
    int dx = 0;     // device pixels per inch across
    int64_t pages = 0;
    std::wstring header;
    std::wstring stamp;  // the date and time of the printout
};

PageFrame FrameFor(const Document& doc, const PrintLayout& layout, int width, int dx, int64_t pages) {
    PageFrame frame;
    frame.layout = layout;
    frame.width = width;
    frame.dx = dx;
    frame.pages = pages;
    frame.header = doc.path.empty() ? L"Tessary \u2014 " + MessageFor(MessageText::PrintUntitled) : doc.path;
    SYSTEMTIME now{};
    GetLocalTime(&now);
    wchar_t stamp[32];
    std::swprintf(stamp, 32, L"%04d-%02d-%02d %02d:%02d", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute);
    frame.stamp = stamp;
    return frame;
}

// Prints page `page` (counted from 1); false when the printer refused it.
bool PrintPage(HDC dc, const PageFrame& frame, int64_t page, PrintSource& source) {
    if (StartPage(dc) <= 0) return false;
    const PrintLayout& layout = frame.layout;
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkMode(dc, TRANSPARENT);
    Text(dc, layout.left, layout.headerY, frame.header);
    Text(dc, frame.width - TextWidth(dc, frame.stamp) - frame.dx, layout.headerY, frame.stamp);
    const uint64_t first = static_cast<uint64_t>(page - 1) * static_cast<uint64_t>(layout.linesPerPage);
    for (int64_t i = 0; i < layout.linesPerPage && first + i < source.lineCount; ++i) {
        const std::wstring line = LineAt(source, first + static_cast<uint64_t>(i));
        Text(dc, layout.left, layout.bodyY + static_cast<int>(i) * layout.lineHeight,
             FitPrintLine(line, layout.charsPerLine));
    }
    wchar_t footer[64];
    std::swprintf(footer, 64, L"- %lld / %lld -", static_cast<long long>(page), static_cast<long long>(frame.pages));
    Text(dc, (frame.width - TextWidth(dc, footer)) / 2, layout.footerY, footer);
    return EndPage(dc) > 0;
}

}  // namespace

void PrintActiveTab() {
    Document* doc = ActiveDocument();
    if (!doc) return;
    HDC dc = ChoosePrinter();
    if (!dc) return;
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

    PrintSource source;
    TakeLines(*doc, source);
    if (source.lineCount == 0) {
        release();
        Message(MessageFor(MessageText::PrintNothing), MB_ICONINFORMATION);
        return;
    }
    const int64_t pages = PrintPageCount(source.lineCount, layout.linesPerPage);
    if (!PageCountAccepted(pages)) {
        release();
        return;
    }
    DOCINFOW info{};
    info.cbSize = sizeof info;
    info.lpszDocName = doc->title.c_str();
    if (StartDocW(dc, &info) <= 0) {
        release();
        Message(MessageFor(MessageText::PrintCannotStart), MB_ICONERROR);
        return;
    }
    const PageFrame frame = FrameFor(*doc, layout, width, dx, pages);
    bool failed = false, stopped = false;
    for (int64_t page = 1; page <= pages && !failed && !stopped; ++page) {
        failed = !PrintPage(dc, frame, page, source);
        // Escape held between pages stops a long printout.
        if (!failed && (GetAsyncKeyState(VK_ESCAPE) & 0x8000)) stopped = true;
    }
    if (failed || stopped)
        AbortDoc(dc);
    else
        EndDoc(dc);
    release();
    if (failed) Message(MessageFor(MessageText::PrintCannotStart), MB_ICONERROR);
    if (!source.allRead) ReportHexReadFailure();
}
