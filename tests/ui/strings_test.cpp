#include "ui/strings.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "app/app_state.h"

namespace {

// Menu-bar titles File, Edit, Find, View, Project, Preferences, Language, Help (General 0-3, 6-9).
const wchar_t* const kMenuTitles[kInterfaceLanguageCount][8] = {
    {L"ملف", L"تعديل", L"بحث", L"عرض", L"مشروع", L"تفضيلات", L"لغة", L"مساعدة"},
    {L"File", L"Edit", L"Cari", L"Tampilan", L"Proyek", L"Preferensi", L"Bahasa", L"Bantuan"},
    {L"文件", L"编辑", L"查找", L"视图", L"项目", L"首选项", L"语言", L"帮助"},
    {L"Datei", L"Bearbeiten", L"Suchen", L"Ansicht", L"Projekt", L"Einstellungen", L"Sprache", L"Hilfe"},
    {L"File", L"Edit", L"Find", L"View", L"Project", L"Preferences", L"Language", L"Help"},
    {L"Archivo", L"Editar", L"Buscar", L"Ver", L"Proyecto", L"Preferencias", L"Idioma", L"Ayuda"},
    {L"Fichier", L"Édition", L"Rechercher", L"Affichage", L"Projet", L"Préférences", L"Langue", L"Aide"},
    {L"फ़ाइल", L"संपादन", L"खोजें", L"देखें", L"प्रोजेक्ट", L"प्राथमिकताएँ", L"भाषा", L"सहायता"},
    {L"File", L"Modifica", L"Trova", L"Visualizza", L"Progetto", L"Preferenze", L"Lingua", L"Aiuto"},
    {L"ファイル", L"編集", L"検索", L"表示", L"プロジェクト", L"環境設定", L"言語", L"ヘルプ"},
    {L"파일", L"편집", L"찾기", L"보기", L"프로젝트", L"기본 설정", L"언어", L"도움말"},
    {L"Bestand", L"Bewerken", L"Zoeken", L"Beeld", L"Project", L"Voorkeuren", L"Taal", L"Help"},
    {L"پرونده", L"ویرایش", L"جستجو", L"نما", L"پروژه", L"ترجیحات", L"زبان", L"راهنما"},
    {L"Plik", L"Edycja", L"Znajdź", L"Widok", L"Projekt", L"Preferencje", L"Język", L"Pomoc"},
    {L"Arquivo", L"Editar", L"Buscar", L"Exibir", L"Projeto", L"Preferências", L"Idioma", L"Ajuda"},
    {L"Файл", L"Правка", L"Поиск", L"Вид", L"Проект", L"Настройки", L"Язык", L"Справка"},
    {L"ไฟล์", L"แก้ไข", L"ค้นหา", L"มุมมอง", L"โปรเจกต์", L"การตั้งค่า", L"ภาษา", L"ช่วยเหลือ"},
    {L"Dosya", L"Düzenle", L"Bul", L"Görünüm", L"Proje", L"Tercihler", L"Dil", L"Yardım"},
    {L"Файл", L"Правка", L"Пошук", L"Вигляд", L"Проект", L"Налаштування", L"Мова", L"Довідка"},
    {L"Tệp", L"Sửa", L"Tìm", L"Xem", L"Dự án", L"Tùy chọn", L"Ngôn ngữ", L"Trợ giúp"},
};

// Status-bar words Ln, Col, selected, Spaces (General 12-15).
const wchar_t* const kStatusWords[kInterfaceLanguageCount][4] = {
    {L"سطر", L"عمود", L"محدد", L"مسافات"},
    {L"Baris", L"Kol", L"dipilih", L"Spasi"},
    {L"行", L"列", L"已选", L"空格"},
    {L"Z.", L"Sp.", L"ausgewählt", L"Leerzeichen"},
    {L"Ln", L"Col", L"selected", L"Spaces"},
    {L"Ln", L"Col", L"seleccionados", L"Espacios"},
    {L"Ln", L"Col", L"sélectionnés", L"Espaces"},
    {L"पंक्ति", L"स्तंभ", L"चयनित", L"रिक्त स्थान"},
    {L"Riga", L"Col", L"selezionati", L"Spazi"},
    {L"行", L"列", L"選択", L"スペース"},
    {L"줄", L"열", L"선택됨", L"공백"},
    {L"Reg", L"Kol", L"geselecteerd", L"Spaties"},
    {L"خط", L"ستون", L"انتخاب", L"فاصلهها"},
    {L"Wiersz", L"Kol", L"zaznaczone", L"Spacje"},
    {L"Ln", L"Col", L"selecionados", L"Espaços"},
    {L"Стр.", L"Стб.", L"выбрано", L"Пробелы"},
    {L"บรรทัด", L"คอลัมน์", L"เลือก", L"ช่องว่าง"},
    {L"Satır", L"Kol", L"seçili", L"Boşluklar"},
    {L"Рядок", L"Стовп", L"вибрано", L"Пробіли"},
    {L"Dòng", L"Cột", L"đã chọn", L"Khoảng trắng"},
};

const wchar_t* const kRestoreQuestions[kInterfaceLanguageCount] = {
    L"تم فتح %d ملف عند الإغلاق السابق. هل تريد الاستعادة؟",
    L"Terakhir ditutup dengan %d file terbuka. Pulihkan?",
    L"上次关闭时打开了 %d 个文件，是否恢复？",
    L"Beim letzten Schließen waren %d Dateien geöffnet. Wiederherstellen?",
    L"Restore the %d files that were open when the app was closed?",
    L"Al cerrar había %d archivos abiertos. ¿Restaurar?",
    L"%d fichiers étaient ouverts à la fermeture. Restaurer ?",
    L"बंद करते समय %d फ़ाइलें खुली थीं। पुनर्स्थापित करें?",
    L"Alla chiusura erano aperti %d file. Ripristinare?",
    L"前回終了時に %d ファイルが開いていました。復元しますか？",
    L"마지막 종료 시 %d개 파일이 열려 있었습니다. 복원할까요?",
    L"Bij het sluiten waren %d bestanden geopend. Herstellen?",
    L"در بستن آخر، %d فایل باز بود. بازیابی شود؟",
    L"Przy zamykaniu otwartych było %d plików. Przywrócić?",
    L"Ao fechar, %d arquivos estavam abertos. Restaurar?",
    L"При закрытии было открыто %d файлов. Восстановить?",
    L"เมื่อปิดมีไฟล์เปิดอยู่ %d ไฟล์ ต้องการกู้คืนหรือไม่?",
    L"Kapatırken %d dosya açıktı. Geri yüklensin mi?",
    L"При закритті було відкрито %d файлів. Відновити?",
    L"Khi đóng đã mở %d tệp. Khôi phục?",
};

const wchar_t* const kLanguageNames[kInterfaceLanguageCount] = {
    L"العربية",   L"Bahasa Indonesia", L"中文",   L"Deutsch", L"English",    L"Español",   L"Français",
    L"हिन्दी",     L"Italiano",         L"日本語", L"한국어",  L"Nederlands", L"فارسی",     L"Polski",
    L"Português", L"Русский",          L"ไทย",    L"Türkçe",  L"Українська", L"Tiếng Việt"};

// The English of every table, in table order.
const std::vector<std::vector<std::wstring>> kEnglish = {
    // General
    {L"File", L"Edit", L"Find", L"View", L"Goto", L"Tools", L"Project", L"Preferences", L"Language", L"Help",
     L"Color Scheme", L"Theme", L"Ln", L"Col", L"selected", L"Spaces"},
    // MenuLabels
    {L"New File",
     L"Open File",
     L"Open Folder",
     L"Save",
     L"Save As",
     L"Save All",
     L"Close File",
     L"Close All",
     L"Exit",
     L"Undo",
     L"Redo",
     L"Cut",
     L"Copy",
     L"Paste",
     L"Delete",
     L"Select All",
     L"Toggle Comment",
     L"Find",
     L"Replace",
     L"Find all",
     L"Find Next",
     L"Find Previous",
     L"Sidebar",
     L"Status Bar",
     L"Full Screen",
     L"Distraction Free",
     L"Open Project",
     L"Save Project",
     L"Add Folder to Project",
     L"Settings",
     L"Key Bindings",
     L"Color Scheme",
     L"Theme",
     L"Documentation",
     L"Check for Updates",
     L"About",
     L"Zoom In",
     L"Zoom Out"},
    // HexModeLabel
    {L"Hex Mode"},
    // UntitledName
    {L"New File"},
    // ExternalChange
    {L"File has been modified externally:\n", L"Reload?", L"The buffer is large. Reload anyway?"},
    // RestorePrompt
    {L"Restore the %d files that were open when the app was closed?"},
    // TabMenuLabels
    {L"Close", L"Close All", L"Save", L"Save As", L"Rename", L"Reload", L"Show in Explorer", L"Copy Full Path",
     L"Copy File Name", L"Copy Folder Path"},
    // SearchPanelTitle
    {L"Find and Replace"},
    // PrintLabel
    {L"Print"},
    // ClearListLabel
    {L"Clear List"},
    // RecentFilesLabel
    {L"Recent Files"},
    // NoRecentFiles
    {L"(No recent files)"},
    // LineEndingsLabel
    {L"Line Endings"},
    // EncodingLabel
    {L"Encoding Conversion"},
    // IndentLabels
    {L"Increase Indent", L"Decrease Indent"},
    // ColumnModeLabel
    {L"Column Edit Mode"},
    // WordWrapLabel
    {L"Word Wrap"},
    // SettingsDialog
    {L"Settings", L"Font Size", L"Tab Width", L"OK", L"Cancel", L"Font", L"Default Encoding"},
    // SearchTexts
    {L"%d matches", L"Copy", L"Replace All", L"%d matches in %d files"},
    // GotoLine
    {L"Line:", L"Go"},
    // KeyBindingLines
    {L"Ctrl+N / Ctrl+O / Ctrl+S / Ctrl+Shift+S  New / Open / Save / Save As",
     L"Ctrl+W / Ctrl+Shift+W  Close Tab / Close All", L"Ctrl+Z / Ctrl+Shift+Z / Ctrl+Y  Undo / Redo",
     L"Ctrl+X / Ctrl+C / Ctrl+V  Cut / Copy / Paste", L"Ctrl+A / Ctrl+D  Select All / Multi-select Next",
     L"Ctrl+F / Ctrl+H / F3 / Shift+F3  Find / Replace / Next / Previous",
     L"Ctrl+P / Ctrl+R / Ctrl+G / Ctrl+Shift+P  Goto File / Symbol / Line / Palette", L"Ctrl+/  Toggle Comment",
     L"F11 / Shift+F11  Full Screen / Distraction Free", L"Ctrl+K Ctrl+B  Toggle Sidebar", L"Ctrl+,Settings",
     L"Ctrl+B / Ctrl+Break  Build / Cancel Build", L"Ctrl+Q / Ctrl+Shift+Q  Record / Playback Macro"},
    // ZoomLabel
    {L"Zoom"},
    // FileErrors
    {L"Tessary cannot read this file:\n", L"Tessary cannot find this file:\n"},
    // RecoveryPrompt
    {L"Tessary did not close properly. Recover the unsaved changes of %d tabs?"},
};

// Words that other languages really do write as English does.
const std::set<std::wstring> kSharedWords = {L"OK",  L"Zoom",          L"File",    L"Edit", L"Ln",
                                             L"Col", L"Documentation", L"Project", L"Help", L"Font"};

// Languages written in a script other than Latin: an entry of pure ASCII there is an English leftover.
const std::set<int> kNonLatinLanguages = {0, 2, 7, 9, 10, 12, 15, 16, 18};

StringTable TableAt(int index) { return static_cast<StringTable>(index); }

std::wstring Text(int language, int table, int entry) { return LocalizedTextFor(language, TableAt(table), entry); }

// The printf directives of a text in order, and its line breaks: a translation must keep both, or
// formatting it reads the wrong arguments.
std::wstring FormatShape(const std::wstring& text) {
    std::wstring shape;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\n') {
            shape += L"|n";
        } else if (text[i] == L'%') {
            shape += L'%';
            if (i + 1 < text.size()) shape += text[++i];
        }
    }
    return shape;
}

bool IsAscii(const std::wstring& text) {
    for (wchar_t c : text) {
        if (c > 0x7F) return false;
    }
    return true;
}

// The shortcut part of a key-binding line: up to and including the two blanks, or "Ctrl+," for the
// line that has none.
std::wstring ShortcutPart(const std::wstring& line) {
    std::size_t blanks = line.find(L"  ");
    return blanks == std::wstring::npos ? line.substr(0, 6) : line.substr(0, blanks + 2);
}

}  // namespace

TEST(StringTables, EntryCountsPerTable) {
    const int expected[kStringTableCount] = {16, 38, 1, 1, 3, 1, 10, 1, 1, 1, 1, 1, 1, 1, 2, 1, 1, 7, 4, 2, 13, 1, 2, 1};
    ASSERT_EQ(kStringTableCount, static_cast<int>(kEnglish.size()));
    for (int t = 0; t < kStringTableCount; ++t) {
        EXPECT_EQ(expected[t], StringTableEntryCount(TableAt(t))) << "table " << t;
        EXPECT_EQ(expected[t], static_cast<int>(kEnglish[t].size())) << "table " << t;
    }
    EXPECT_EQ(0, StringTableEntryCount(TableAt(kStringTableCount)));
}

TEST(StringTables, EnglishIsTheProductWording) {
    for (int t = 0; t < kStringTableCount; ++t) {
        for (int e = 0; e < StringTableEntryCount(TableAt(t)); ++e) {
            EXPECT_EQ(kEnglish[t][e], Text(kEnglishLanguage, t, e)) << "table " << t << " entry " << e;
        }
    }
    EXPECT_STREQ(L"Ctrl+,Settings", LocalizedTextFor(kEnglishLanguage, StringTable::KeyBindingLines, 10));
}

TEST(StringTables, AgreedRowsInEveryLanguage) {
    const int titleEntries[8] = {0, 1, 2, 3, 6, 7, 8, 9};
    for (int lang = 0; lang < kInterfaceLanguageCount; ++lang) {
        for (int i = 0; i < 8; ++i) {
            EXPECT_STREQ(kMenuTitles[lang][i], LocalizedTextFor(lang, StringTable::General, titleEntries[i]))
                << "language " << lang << " title " << i;
        }
        for (int i = 0; i < 4; ++i) {
            EXPECT_STREQ(kStatusWords[lang][i], LocalizedTextFor(lang, StringTable::General, 12 + i))
                << "language " << lang << " word " << i;
        }
        EXPECT_STREQ(kRestoreQuestions[lang], LocalizedTextFor(lang, StringTable::RestorePrompt, 0)) << lang;
        EXPECT_STREQ(kLanguageNames[lang], LanguageName(lang)) << lang;
    }
}

TEST(StringTables, KeyBindingsCaption) {
    EXPECT_STREQ(L"Key Bindings", KeyBindingsCaption(kEnglishLanguage));
    EXPECT_STREQ(L"Key Bindings", KeyBindingsCaption(3));
    EXPECT_STREQ(L"快捷键", KeyBindingsCaption(2));
    EXPECT_STREQ(L"キーバインド", KeyBindingsCaption(9));
    EXPECT_STREQ(L"키 바인딩", KeyBindingsCaption(10));
    EXPECT_STREQ(L"", KeyBindingsCaption(20));
}

TEST(StringTables, EveryEntryIsPresentAndTrimmed) {
    for (int lang = 0; lang < kInterfaceLanguageCount; ++lang) {
        for (int t = 0; t < kStringTableCount; ++t) {
            for (int e = 0; e < StringTableEntryCount(TableAt(t)); ++e) {
                const std::wstring text = Text(lang, t, e);
                ASSERT_FALSE(text.empty()) << "language " << lang << " table " << t << " entry " << e;
                EXPECT_NE(L' ', text.front()) << "language " << lang << " table " << t << " entry " << e;
                EXPECT_NE(L' ', text.back()) << "language " << lang << " table " << t << " entry " << e;
            }
        }
    }
}

TEST(StringTables, TranslationsKeepFormatDirectivesAndLineBreaks) {
    for (int lang = 0; lang < kInterfaceLanguageCount; ++lang) {
        for (int t = 0; t < kStringTableCount; ++t) {
            for (int e = 0; e < StringTableEntryCount(TableAt(t)); ++e) {
                EXPECT_EQ(FormatShape(kEnglish[t][e]), FormatShape(Text(lang, t, e)))
                    << "language " << lang << " table " << t << " entry " << e;
            }
        }
    }
    // The line break ends the first part, so the path starts a line of its own.
    for (int lang = 0; lang < kInterfaceLanguageCount; ++lang) {
        EXPECT_EQ(L'\n', Text(lang, static_cast<int>(StringTable::ExternalChange), 0).back()) << lang;
        EXPECT_EQ(L'\n', Text(lang, static_cast<int>(StringTable::FileErrors), 0).back()) << lang;
        EXPECT_EQ(L'\n', Text(lang, static_cast<int>(StringTable::FileErrors), 1).back()) << lang;
    }
}

TEST(StringTables, KeyBindingShortcutsAreTheSameInEveryLanguage) {
    const int table = static_cast<int>(StringTable::KeyBindingLines);
    for (int e = 0; e < StringTableEntryCount(StringTable::KeyBindingLines); ++e) {
        const std::wstring shortcut = ShortcutPart(kEnglish[table][e]);
        for (int lang = 0; lang < kInterfaceLanguageCount; ++lang) {
            const std::wstring line = Text(lang, table, e);
            ASSERT_EQ(shortcut, line.substr(0, shortcut.size())) << "language " << lang << " line " << e;
            EXPECT_GT(line.size(), shortcut.size()) << "language " << lang << " line " << e;
            EXPECT_NE(L' ', line[shortcut.size()]) << "language " << lang << " line " << e;
        }
    }
}

TEST(StringTables, NoEnglishLeftInOtherLanguages) {
    for (int lang = 0; lang < kInterfaceLanguageCount; ++lang) {
        if (lang == kEnglishLanguage) continue;
        for (int t = 0; t < kStringTableCount; ++t) {
            int same = 0;
            const int entries = StringTableEntryCount(TableAt(t));
            for (int e = 0; e < entries; ++e) {
                const std::wstring text = Text(lang, t, e);
                if (text == kEnglish[t][e]) {
                    ++same;
                    EXPECT_TRUE(kSharedWords.count(text))
                        << "untranslated: language " << lang << " table " << t << " entry " << e;
                }
                if (kNonLatinLanguages.count(lang) && text != L"OK") {
                    EXPECT_FALSE(IsAscii(text)) << "language " << lang << " table " << t << " entry " << e;
                }
            }
            if (entries > 1) {
                EXPECT_LT(same, entries) << "language " << lang << " table " << t;
            }
        }
    }
}

TEST(StringTables, MenuTextsFitAMenu) {
    const StringTable menuTables[] = {
        StringTable::General,          StringTable::MenuLabels,    StringTable::TabMenuLabels,
        StringTable::HexModeLabel,     StringTable::PrintLabel,    StringTable::ClearListLabel,
        StringTable::RecentFilesLabel, StringTable::NoRecentFiles, StringTable::LineEndingsLabel,
        StringTable::EncodingLabel,    StringTable::IndentLabels,  StringTable::ColumnModeLabel,
        StringTable::WordWrapLabel,    StringTable::GotoLine,      StringTable::ZoomLabel,
    };
    for (int lang = 0; lang < kInterfaceLanguageCount; ++lang) {
        for (StringTable table : menuTables) {
            for (int e = 0; e < StringTableEntryCount(table); ++e) {
                EXPECT_LE(std::wstring(LocalizedTextFor(lang, table, e)).size(), 32u)
                    << "language " << lang << " table " << static_cast<int>(table) << " entry " << e;
            }
        }
    }
}

TEST(StringTables, UntitledWordLeavesRoomForTheNumber) {
    // Untitled tabs are numbered by reading the digits after this word.
    for (int lang = 0; lang < kInterfaceLanguageCount; ++lang) {
        const std::wstring word = LocalizedTextFor(lang, StringTable::UntitledName, 0);
        ASSERT_FALSE(word.empty()) << lang;
        EXPECT_EQ(std::wstring::npos, std::wstring(L"0123456789 ").find(word.back())) << lang;
    }
}

TEST(StringTables, OutOfRangeLookupsAreEmpty) {
    EXPECT_STREQ(L"", LocalizedTextFor(-1, StringTable::General, 0));
    EXPECT_STREQ(L"", LocalizedTextFor(kInterfaceLanguageCount, StringTable::General, 0));
    EXPECT_STREQ(L"", LocalizedTextFor(kEnglishLanguage, StringTable::General, -1));
    EXPECT_STREQ(L"", LocalizedTextFor(kEnglishLanguage, StringTable::General, 16));
    EXPECT_STREQ(L"", LocalizedTextFor(kEnglishLanguage, StringTable::HexModeLabel, 1));
    EXPECT_STREQ(L"", LocalizedTextFor(kEnglishLanguage, TableAt(kStringTableCount), 0));
    EXPECT_STREQ(L"", LocalizedTextFor(kEnglishLanguage, TableAt(-1), 0));
    EXPECT_STREQ(L"", LanguageName(-1));
    EXPECT_STREQ(L"", LanguageName(kInterfaceLanguageCount));
}

TEST(StringTables, LocalizedTextFollowsTheInterfaceLanguage) {
    const int saved = app.uiLanguage;
    app.uiLanguage = 3;
    EXPECT_STREQ(L"Datei", LocalizedText(StringTable::General, 0));
    app.uiLanguage = 2;
    EXPECT_STREQ(L"文件", LocalizedText(StringTable::General, 0));
    app.uiLanguage = kInterfaceLanguageCount;
    EXPECT_STREQ(L"", LocalizedText(StringTable::General, 0));
    app.uiLanguage = kEnglishLanguage;
    EXPECT_STREQ(L"New File", LocalizedText(StringTable::UntitledName, 0));
    app.uiLanguage = saved;
}
