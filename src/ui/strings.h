#pragma once
// Interface texts in the twenty interface languages, looked up at the moment they are drawn so that
// a language change shows at the next paint.

// One table per kind of message, in the order they are stored.
enum class StringTable {
    General,
    MenuLabels,
    HexModeLabel,
    UntitledName,
    ExternalChange,
    RestorePrompt,
    TabMenuLabels,
    SearchPanelTitle,
    PrintLabel,
    ClearListLabel,
    RecentFilesLabel,
    NoRecentFiles,
    LineEndingsLabel,
    EncodingLabel,
    IndentLabels,
    ColumnModeLabel,
    WordWrapLabel,
    SettingsDialog,
    SearchTexts,
    GotoLine,
    KeyBindingLines,
    ZoomLabel,
    FileErrors,
    RecoveryPrompt,
    HexMessages,
};

constexpr int kStringTableCount = 25;
// Interface languages are 0-19 in Language-menu order; English is the default.
constexpr int kInterfaceLanguageCount = 20;
constexpr int kEnglishLanguage = 4;

// The entry of a table in the current interface language (app.uiLanguage); "" for a language,
// table or entry that does not exist.
const wchar_t* LocalizedText(StringTable table, int entry);

// The same for a given language, independent of the running program's state.
const wchar_t* LocalizedTextFor(int language, StringTable table, int entry);

// Entries per language of a table (0 for an unknown table).
int StringTableEntryCount(StringTable table);

// A language's own name as the Language menu lists it; "" out of range.
const wchar_t* LanguageName(int language);

// Caption of the key-binding list: English except in Chinese, Japanese and Korean; "" out of range.
const wchar_t* KeyBindingsCaption(int language);
