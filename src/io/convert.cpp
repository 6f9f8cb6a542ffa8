#include "io/convert.h"

#include "base/app_state.h"
#include "base/change_notice.h"
#include "base/editor.h"
#include "document/document.h"
#include "document/tabs.h"
#include "base/encoding.h"
#include "base/command_ids.h"

int EncodingForCommand(int command) {
    switch (command) {
        case kCmdEncodingFirst: return kEncUtf8;
        case kCmdEncodingFirst + 1: return kEncUtf8Bom;
        case kCmdEncodingFirst + 2: return kEncUtf16Le;
        case kCmdEncodingFirst + 3: return kEncUtf16Be;
        case kCmdEncodingFirst + 4: return kEncGbk;
        case kCmdEncodingFirst + 5: return kEncGb2312;
        case kCmdEncodingFirst + 6: return kEncAnsi;
        default: return -1;
    }
}

bool LineEndingForCommand(int command, int& eolMode, int& lineEnding) {
    switch (command) {
        case kCmdLineEndingFirst:
            eolMode = 0;
            lineEnding = kEolCrlf;
            return true;
        case kCmdLineEndingFirst + 1:
            eolMode = 2;
            lineEnding = kEolLf;
            return true;
        case kCmdLineEndingFirst + 2:
            eolMode = 1;
            lineEnding = kEolCr;
            return true;
        default: return false;
    }
}

int CommandForEncoding(int encoding) {
    for (int command = 150; command <= 156; ++command)
        if (EncodingForCommand(command) == encoding) return command;
    return 0;
}

int CommandForLineEnding(int lineEnding) {
    for (int command = 131; command <= 133; ++command) {
        int eolMode = 0, value = 0;
        if (LineEndingForCommand(command, eolMode, value) && value == lineEnding) return command;
    }
    return 0;
}

// The text is not converted: the new encoding applies at the next save.
void SetSaveEncoding(int encoding) {
    Document* doc = ActiveDocument();
    if (!doc || doc->hexMode || doc->loading || doc->encoding == encoding) return;
    doc->encoding = encoding;
    doc->modified = 1;
    NoteChange(kChangeTitle | kChangeTabBar | kChangeStatusBar);
}

void ConvertLineEndings(int eolMode, int lineEnding) {
    Document* doc = ActiveDocument();
    if (!doc || doc->hexMode || doc->loading) return;
    editor::Send(doc->editor, editor::kSetEolMode, static_cast<WPARAM>(eolMode));
    editor::Send(doc->editor, editor::kConvertEols, static_cast<WPARAM>(eolMode));
    doc->lineEnding = lineEnding;
    NoteChange(kChangeTitle | kChangeStatusBar);
}
