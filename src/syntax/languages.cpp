#include "syntax/languages.h"

#include "base/app_state.h"
#include "base/editor.h"

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

// One list serves C, C++, C# and JavaScript/TypeScript; the repeats inside are harmless.
constexpr char kCFamilyKeywords[] =
    "auto break case char const continue default do double else enum extern float for goto if"
    " int long register return short sizeof signed static struct switch typedef union unsigned"
    " void volatile while class public private protected virtual template namespace using new"
    " delete this try catch throw true false nullptr bool import function var let typeof"
    " instanceof super extends export from default async await of in void delete null undefined"
    " interface abstract sealed override event delegate get set";
constexpr char kCFamilyTypes[] =
    "int char double float long short void bool unsigned signed size_t wchar_t wstring string"
    " vector map";
constexpr char kPythonKeywords[] =
    "def class return if elif else for while import from as try except finally with lambda"
    " yield global nonlocal pass break continue in is not and or None True False self async"
    " await raise assert del yield nonlocal print len range str int float list dict open";
constexpr char kJsonKeywords[] = "true false null";

}  // namespace

int DetectLanguage(const std::wstring& path) {
    // Only ASCII letters are folded: the endings are ASCII and the rest of the path is irrelevant.
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

const wchar_t* LanguageDisplayName(int language) {
    static const wchar_t* const kNames[] = {L"Plain", L"C/C++", L"C#",  L"Python",   L"JS/TS",
                                            L"JSON",  L"HTML",  L"CSS", L"Markdown", L"XML"};
    return language >= 1 && language <= 9 ? kNames[language] : kNames[0];
}

int LexerForLanguage(int language) { return LexerSetupFor(language).lexer; }

LexerSetup LexerSetupFor(int language) {
    using R = ColourRole;
    switch (language) {
        case 1:
        case 2:
        case 4:
            return {3,
                    {{0, kCFamilyKeywords}, {1, kCFamilyTypes}},
                    {{5, R::Keyword},
                     {16, R::Type},
                     {6, R::String},
                     {7, R::String},
                     {4, R::Number},
                     {1, R::Comment},
                     {2, R::Comment},
                     {3, R::Comment},
                     {15, R::Comment},
                     {9, R::Type},
                     {10, R::Text},
                     {11, R::Text}}};
        case 3:
            // The lexer puts decorators in style 15 (14 holds words of a second keyword set, which
            // Python is not given), so 15 takes the colour meant for decorators as well.
            return {2,
                    {{0, kPythonKeywords}},
                    {{5, R::Keyword},
                     {14, R::Type},
                     {15, R::Type},
                     {3, R::String},
                     {4, R::String},
                     {6, R::String},
                     {7, R::String},
                     {2, R::Number},
                     {1, R::Comment},
                     {12, R::Comment},
                     {10, R::Text},
                     {11, R::Text}}};
        case 5:
            return {120,
                    {{0, kJsonKeywords}},
                    {{0, R::Text}, {1, R::Number}, {2, R::String}, {3, R::String}, {4, R::Property}, {11, R::Keyword}}};
        case 6:
            return {4,
                    {},
                    {{0, R::Text},
                     {1, R::Type},
                     {2, R::Comment},
                     {3, R::Property},
                     {6, R::String},
                     {7, R::String},
                     {9, R::Comment},
                     {46, R::Keyword},
                     {48, R::String},
                     {49, R::String},
                     {42, R::Comment},
                     {43, R::Comment},
                     {121, R::Keyword},
                     {119, R::String},
                     {120, R::String},
                     {124, R::Comment},
                     {125, R::Comment},
                     {127, R::Text}}};
        case 7:
            return {
                38, {}, {{0, R::Text}, {9, R::Comment}, {1, R::Type}, {2, R::Property}, {6, R::Text}, {5, R::Text}}};
        case 8:
            return {98,
                    {},
                    {{0, R::Text},
                     {6, R::Property},
                     {7, R::Property},
                     {8, R::Property},
                     {9, R::Property},
                     {10, R::Property},
                     {11, R::Property},
                     {18, R::Type}}};
        case 9: return {5, {}, {{0, R::Text}, {1, R::Type}, {3, R::Property}, {6, R::String}, {9, R::Comment}}};
        default: return {1, {}, {}};
    }
}

Colour RoleColour(const Palette& p, ColourRole role) {
    switch (role) {
        case ColourRole::Text: return p.textColor;
        case ColourRole::Editor: return p.editorColor;
        case ColourRole::LineNumber: return p.lineNumberColor;
        case ColourRole::Keyword: return p.keywordColor;
        case ColourRole::String: return p.stringColor;
        case ColourRole::Property: return p.propertyColor;
        case ColourRole::Type: return p.typeColor;
        case ColourRole::Comment: return p.commentColor;
        case ColourRole::Number: return p.numberColor;
    }
    return p.textColor;
}

void ApplyLanguageStyles(HWND ed, int language) {
    if (!ed) return;
    using namespace editor;
    Send(ed, kStyleSetFore, kDefaultStyle, palette.textColor);
    Send(ed, kStyleSetBack, kDefaultStyle, palette.editorColor);
    const std::string face = Utf8(app.settings.fontFace);
    Send(ed, kStyleSetFont, kDefaultStyle, reinterpret_cast<LPARAM>(face.c_str()));
    Send(ed, kStyleSetSize, kDefaultStyle, app.settings.fontSize);
    // A very large document is shown uncoloured (it was loaded with the null lexer and without
    // style bytes): only its default and line-number styles follow the palette.
    const bool styled = Length(ed) <= kMaxStyledLength;
    if (styled) Send(ed, kStyleClearAll);
    Send(ed, kStyleSetFore, kLineNumberStyle, palette.lineNumberColor);
    Send(ed, kStyleSetBack, kLineNumberStyle, palette.editorColor);
    if (!styled) {
        // Its text is all drawn in style 0, which the skipped clear would have refreshed: without
        // this a theme switch would leave the old theme's text colours on the new background.
        Send(ed, kStyleSetFore, 0, palette.textColor);
        Send(ed, kStyleSetBack, 0, palette.editorColor);
        return;
    }
    const LexerSetup setup = LexerSetupFor(language);
    SetLexer(ed, setup.lexer);
    for (const KeywordSet& k : setup.keywords) {
        Send(ed, kSetKeywords, static_cast<WPARAM>(k.set), reinterpret_cast<LPARAM>(k.words));
    }
    for (const StyleRole& s : setup.styles) {
        Send(ed, kStyleSetFore, static_cast<WPARAM>(s.style), static_cast<LPARAM>(RoleColour(palette, s.role)));
    }
}
