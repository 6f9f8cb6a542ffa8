#pragma once
#include <string>

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
    Messages,
};

constexpr int kStringTableCount = 26;
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

// Which form a noun takes after the whole number `count` in an interface language: 0 the form for
// one, 1 the form for a few (2-4 in the Slavic languages), 2 every other. Languages whose nouns do
// not change with the number answer 2, or 0 for their singular.
int PluralCategory(int language, long long count);
// The entry firstEntry + PluralCategory(count) of a table in a language, with its "%d" replaced by
// the count.
std::wstring CountedText(int language, StringTable table, int firstEntry, long long count);

// The entries of the Messages table: questions and notices shown in message boxes, quick-open
// rows, the about lines. "%s" in an entry stands for the one piece filled in.
enum class MessageText {
    SaveChangesQuestion,   // %s: the tab's title
    ReadOnlySave,
    SaveFailed,
    ReloadUnsavedQuestion,  // %s: the tab's title
    ReloadWithoutFile,
    LargeFileNotMappable,
    RecentFileGone,  // followed by the path
    BuildSaveFirst,
    BuildNoOutput,
    BuildCancelled,
    PrintNothing,
    PrintCannotStart,
    PrintUntitled,
    ProjectSaved,
    ChooseFolder,
    ReadOnlyMark,
    QuickNoFolder,
    QuickTypeQuery,
    QuickNoMatch,
    SymbolLine,  // %s: the line number
    NoSymbols,
    TooManySymbols,
    DocumentTooLarge,
    SymbolsNeedFile,
    AboutVersion,  // %s: the version
    AboutLine1,
    AboutLine2,
    VersionCheck,  // %s: the version
    MissingComponent,
    NotEnoughMemory,  // %s: the command's name
    HexBytesLostQuestion,
    RenameFailed,   // %s: the old and the new path
    HexOffsetWord,  // the status bar of a hex tab: "Offset 0x1A (26)"
    HexByteWord,    // and "Byte 0x4F (79)"
    GotoLineRow,  // %s: the line number typed after ":" in goto anything
    LoadingPercent,  // %s: how much of a tab's file has been read, after its title: "big.txt (loading 42 %)"
};

// A Messages entry in the current interface language, with "%s" (if any) replaced by `piece`.
std::wstring MessageFor(MessageText message, const std::wstring& piece = std::wstring());
// The same in a given language.
std::wstring MessageIn(int language, MessageText message, const std::wstring& piece = std::wstring());

// The interface language matching a Windows language identifier (its primary language), English
// when none of the twenty does.
int InterfaceLanguageOfLangId(unsigned short langId);
