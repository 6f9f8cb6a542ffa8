#include "base/strings.h"

#include <cstddef>
#include <string>
#include <iterator>

#include "base/app_state.h"

namespace {

// Each table is language-major: row L holds the entries of interface language L. The rows live in
// base/strings/*.inc, one file per table, so that a translator can review one message kind at a time.
constexpr const wchar_t* kGeneral[][16] = {
#include "base/strings/general.inc"
};
constexpr const wchar_t* kMenuLabels[][38] = {
#include "base/strings/menu_labels.inc"
};
constexpr const wchar_t* kHexModeLabel[][1] = {
#include "base/strings/hex_mode_label.inc"
};
constexpr const wchar_t* kUntitledName[][1] = {
#include "base/strings/untitled_name.inc"
};
constexpr const wchar_t* kExternalChange[][3] = {
#include "base/strings/external_change.inc"
};
constexpr const wchar_t* kRestorePrompt[][1] = {
#include "base/strings/restore_prompt.inc"
};
constexpr const wchar_t* kTabMenuLabels[][10] = {
#include "base/strings/tab_menu_labels.inc"
};
constexpr const wchar_t* kSearchPanelTitle[][1] = {
#include "base/strings/search_panel_title.inc"
};
constexpr const wchar_t* kPrintLabel[][1] = {
#include "base/strings/print_label.inc"
};
constexpr const wchar_t* kClearListLabel[][1] = {
#include "base/strings/clear_list_label.inc"
};
constexpr const wchar_t* kRecentFilesLabel[][1] = {
#include "base/strings/recent_files_label.inc"
};
constexpr const wchar_t* kNoRecentFiles[][1] = {
#include "base/strings/no_recent_files.inc"
};
constexpr const wchar_t* kLineEndingsLabel[][1] = {
#include "base/strings/line_endings_label.inc"
};
constexpr const wchar_t* kEncodingLabel[][1] = {
#include "base/strings/encoding_label.inc"
};
constexpr const wchar_t* kIndentLabels[][2] = {
#include "base/strings/indent_labels.inc"
};
constexpr const wchar_t* kColumnModeLabel[][1] = {
#include "base/strings/column_mode_label.inc"
};
constexpr const wchar_t* kWordWrapLabel[][1] = {
#include "base/strings/word_wrap_label.inc"
};
constexpr const wchar_t* kSettingsDialog[][7] = {
#include "base/strings/settings_dialog.inc"
};
constexpr const wchar_t* kSearchTexts[][13] = {
#include "base/strings/search_texts.inc"
};
constexpr const wchar_t* kGotoLine[][2] = {
#include "base/strings/goto_line.inc"
};
constexpr const wchar_t* kKeyBindingLines[][13] = {
#include "base/strings/key_binding_lines.inc"
};
constexpr const wchar_t* kZoomLabel[][1] = {
#include "base/strings/zoom_label.inc"
};
constexpr const wchar_t* kFileErrors[][2] = {
#include "base/strings/file_errors.inc"
};
constexpr const wchar_t* kRecoveryPrompt[][8] = {
#include "base/strings/recovery_prompt.inc"
};
constexpr const wchar_t* kHexMessages[][4] = {
#include "base/strings/hex_messages.inc"
};
constexpr const wchar_t* kMessages[][36] = {
#include "base/strings/messages.inc"
};

// A missing language row, or a row cut short (its tail would be null), fails the build rather than
// showing blanks at run time.
template <std::size_t Languages, std::size_t Entries>
constexpr bool Complete(const wchar_t* const (&rows)[Languages][Entries]) {
    if (Languages != kInterfaceLanguageCount) return false;
    for (const auto& row : rows) {
        for (const wchar_t* text : row) {
            if (text == nullptr) return false;
        }
    }
    return true;
}

static_assert(Complete(kGeneral), "General");
static_assert(Complete(kMenuLabels), "MenuLabels");
static_assert(Complete(kHexModeLabel), "HexModeLabel");
static_assert(Complete(kUntitledName), "UntitledName");
static_assert(Complete(kExternalChange), "ExternalChange");
static_assert(Complete(kRestorePrompt), "RestorePrompt");
static_assert(Complete(kTabMenuLabels), "TabMenuLabels");
static_assert(Complete(kSearchPanelTitle), "SearchPanelTitle");
static_assert(Complete(kPrintLabel), "PrintLabel");
static_assert(Complete(kClearListLabel), "ClearListLabel");
static_assert(Complete(kRecentFilesLabel), "RecentFilesLabel");
static_assert(Complete(kNoRecentFiles), "NoRecentFiles");
static_assert(Complete(kLineEndingsLabel), "LineEndingsLabel");
static_assert(Complete(kEncodingLabel), "EncodingLabel");
static_assert(Complete(kIndentLabels), "IndentLabels");
static_assert(Complete(kColumnModeLabel), "ColumnModeLabel");
static_assert(Complete(kWordWrapLabel), "WordWrapLabel");
static_assert(Complete(kSettingsDialog), "SettingsDialog");
static_assert(Complete(kSearchTexts), "SearchTexts");
static_assert(Complete(kGotoLine), "GotoLine");
static_assert(Complete(kKeyBindingLines), "KeyBindingLines");
static_assert(Complete(kZoomLabel), "ZoomLabel");
static_assert(Complete(kFileErrors), "FileErrors");
static_assert(Complete(kRecoveryPrompt), "RecoveryPrompt");
static_assert(Complete(kHexMessages), "HexMessages");
static_assert(Complete(kMessages), "Messages");
static_assert(std::size(kMessages[0]) == static_cast<std::size_t>(MessageText::LoadingPercent) + 1,
              "one Messages entry per MessageText");

// Calls visit with the rows of the table; false for a value outside the enumeration.
template <typename Visit>
bool VisitTable(StringTable table, Visit&& visit) {
    switch (table) {
        case StringTable::General: visit(kGeneral); return true;
        case StringTable::MenuLabels: visit(kMenuLabels); return true;
        case StringTable::HexModeLabel: visit(kHexModeLabel); return true;
        case StringTable::UntitledName: visit(kUntitledName); return true;
        case StringTable::ExternalChange: visit(kExternalChange); return true;
        case StringTable::RestorePrompt: visit(kRestorePrompt); return true;
        case StringTable::TabMenuLabels: visit(kTabMenuLabels); return true;
        case StringTable::SearchPanelTitle: visit(kSearchPanelTitle); return true;
        case StringTable::PrintLabel: visit(kPrintLabel); return true;
        case StringTable::ClearListLabel: visit(kClearListLabel); return true;
        case StringTable::RecentFilesLabel: visit(kRecentFilesLabel); return true;
        case StringTable::NoRecentFiles: visit(kNoRecentFiles); return true;
        case StringTable::LineEndingsLabel: visit(kLineEndingsLabel); return true;
        case StringTable::EncodingLabel: visit(kEncodingLabel); return true;
        case StringTable::IndentLabels: visit(kIndentLabels); return true;
        case StringTable::ColumnModeLabel: visit(kColumnModeLabel); return true;
        case StringTable::WordWrapLabel: visit(kWordWrapLabel); return true;
        case StringTable::SettingsDialog: visit(kSettingsDialog); return true;
        case StringTable::SearchTexts: visit(kSearchTexts); return true;
        case StringTable::GotoLine: visit(kGotoLine); return true;
        case StringTable::KeyBindingLines: visit(kKeyBindingLines); return true;
        case StringTable::ZoomLabel: visit(kZoomLabel); return true;
        case StringTable::FileErrors: visit(kFileErrors); return true;
        case StringTable::RecoveryPrompt: visit(kRecoveryPrompt); return true;
        case StringTable::HexMessages: visit(kHexMessages); return true;
        case StringTable::Messages: visit(kMessages); return true;
    }
    return false;
}

// Names are never translated: each language is listed under its own.
constexpr const wchar_t* kLanguageNames[] = {
    L"العربية",           // 0 Arabic
    L"Bahasa Indonesia",  // 1 Indonesian
    L"中文",              // 2 Chinese
    L"Deutsch",           // 3 German
    L"English",           // 4 English
    L"Español",           // 5 Spanish
    L"Français",          // 6 French
    L"हिन्दी",             // 7 Hindi
    L"Italiano",          // 8 Italian
    L"日本語",            // 9 Japanese
    L"한국어",            // 10 Korean
    L"Nederlands",        // 11 Dutch
    L"فارسی",             // 12 Persian
    L"Polski",            // 13 Polish
    L"Português",         // 14 Portuguese
    L"Русский",           // 15 Russian
    L"ไทย",               // 16 Thai
    L"Türkçe",            // 17 Turkish
    L"Українська",        // 18 Ukrainian
    L"Tiếng Việt",        // 19 Vietnamese
};
static_assert(std::size(kLanguageNames) == kInterfaceLanguageCount, "one name per language");

bool IsLanguage(int language) { return language >= 0 && language < kInterfaceLanguageCount; }

}  // namespace

const wchar_t* LocalizedTextFor(int language, StringTable table, int entry) {
    const wchar_t* text = L"";
    VisitTable(table, [&](const auto& rows) {
        const int entries = static_cast<int>(std::size(rows[0]));
        if (IsLanguage(language) && entry >= 0 && entry < entries) text = rows[language][entry];
    });
    return text;
}

const wchar_t* LocalizedText(StringTable table, int entry) { return LocalizedTextFor(app.uiLanguage, table, entry); }

int StringTableEntryCount(StringTable table) {
    int entries = 0;
    VisitTable(table, [&](const auto& rows) { entries = static_cast<int>(std::size(rows[0])); });
    return entries;
}

const wchar_t* LanguageName(int language) { return IsLanguage(language) ? kLanguageNames[language] : L""; }

const wchar_t* KeyBindingsCaption(int language) {
    switch (language) {
        case 2: return L"快捷键";
        case 9: return L"キーバインド";
        case 10: return L"키 바인딩";
    }
    return IsLanguage(language) ? L"Key Bindings" : L"";
}

int PluralCategory(int language, long long count) {
    const long long n = count < 0 ? -count : count;
    const long long last = n % 10, lastTwo = n % 100;
    switch (language) {
        case 13:  // Polish
            if (n == 1) return 0;
            return last >= 2 && last <= 4 && !(lastTwo >= 12 && lastTwo <= 14) ? 1 : 2;
        case 15:  // Russian
        case 18:  // Ukrainian
            if (last == 1 && lastTwo != 11) return 0;
            return last >= 2 && last <= 4 && !(lastTwo >= 12 && lastTwo <= 14) ? 1 : 2;
        case 6:   // French
        case 7:   // Hindi
        case 14:  // Portuguese (Brazil)
            return n <= 1 ? 0 : 2;
        default: return n == 1 ? 0 : 2;
    }
}

std::wstring CountedText(int language, StringTable table, int firstEntry, long long count) {
    std::wstring text = LocalizedTextFor(language, table, firstEntry + PluralCategory(language, count));
    const size_t at = text.find(L"%d");
    if (at != std::wstring::npos) text.replace(at, 2, std::to_wstring(count));
    return text;
}

std::wstring MessageIn(int language, MessageText message, const std::wstring& piece) {
    std::wstring text = LocalizedTextFor(language, StringTable::Messages, static_cast<int>(message));
    // Replaced, not formatted: a title holding "%" must come out as it is.
    const size_t at = text.find(L"%s");
    if (at != std::wstring::npos) text.replace(at, 2, piece);
    return text;
}

std::wstring MessageFor(MessageText message, const std::wstring& piece) {
    return MessageIn(app.uiLanguage, message, piece);
}

int InterfaceLanguageOfLangId(unsigned short langId) {
    // Primary language identifiers (the low ten bits) in Language-menu order.
    static const unsigned short kPrimary[kInterfaceLanguageCount] = {
        0x01,  // Arabic
        0x21,  // Indonesian
        0x04,  // Chinese
        0x07,  // German
        0x09,  // English
        0x0A,  // Spanish
        0x0C,  // French
        0x39,  // Hindi
        0x10,  // Italian
        0x11,  // Japanese
        0x12,  // Korean
        0x13,  // Dutch
        0x29,  // Persian
        0x15,  // Polish
        0x16,  // Portuguese
        0x19,  // Russian
        0x1E,  // Thai
        0x1F,  // Turkish
        0x22,  // Ukrainian
        0x2A,  // Vietnamese
    };
    const unsigned short primary = langId & 0x3FF;
    for (int i = 0; i < kInterfaceLanguageCount; ++i)
        if (kPrimary[i] == primary) return i;
    return kEnglishLanguage;
}
