#include "syntax/languages.h"

#include "app/app_state.h"
#include "app/editor.h"
#include "syntax/palette.h"

namespace {

bool EndsWith(const std::wstring& text, const wchar_t* suffix) {
    const std::wstring s(suffix);
    return text.size() >= s.size() && text.compare(text.size() - s.size(), s.size(), s) == 0;
}

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int n =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

}  // namespace

int DetectLanguage(const std::wstring& path) {
    std::wstring lower = path;
    for (wchar_t& c : lower) {
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    struct Ending {
        const wchar_t* suffix;
        int language;
    };
    static const Ending kEndings[] = {{L".cpp", 1},  {L".cc", 1},  {L".c", 1},   {L".h", 1},  {L".hpp", 1},
                                      {L".cs", 2},   {L".py", 3},  {L".js", 4},  {L".ts", 4}, {L".json", 5},
                                      {L".html", 6}, {L".htm", 6}, {L".css", 7}, {L".md", 8}, {L".xml", 9}};
    for (const Ending& e : kEndings) {
        if (EndsWith(lower, e.suffix)) return e.language;
    }
    return 0;
}

int LexerForLanguage(int language) {
    switch (language) {
        case 1:
        case 2:
        case 4: return 3;
        case 3: return 2;
        case 5: return 120;
        case 6: return 4;
        case 7: return 38;
        case 8: return 98;
        case 9: return 5;
        default: return 1;
    }
}

// Keyword lists and per-style colours come with syntax colouring; this sets the base look.
void ApplyLanguageStyles(HWND ed, int language) {
    if (!ed) return;
    using namespace editor;
    StyleSetColours(ed, kDefaultStyle, palette.textColor, palette.editorColor);
    const std::string face = Utf8(app.settings.fontFace);
    Send(ed, kStyleSetFont, kDefaultStyle, reinterpret_cast<LPARAM>(face.c_str()));
    Send(ed, kStyleSetSize, kDefaultStyle, app.settings.fontSize);
    if (Length(ed) < 0x800001) Send(ed, kStyleClearAll);
    StyleSetColours(ed, kLineNumberStyle, palette.lineNumberColor, palette.editorColor);
    SetLexer(ed, LexerForLanguage(language));
}
