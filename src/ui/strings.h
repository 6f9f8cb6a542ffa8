#pragma once
// Interface texts, looked up at the moment they are drawn so that a language change shows at the
// next paint.
enum class StringTable { General, MenuLabels, HexModeLabel, UntitledName, ExternalChange };

// The entry of a table in the current interface language ("" for an entry that does not exist).
const wchar_t* LocalizedText(StringTable table, int entry);
