// SPDX-License-Identifier: MIT
#include "viewer_document.h"

#include <cstdio>

#include "quarvo/file_layer.h"
#include "quarvo/strman.h"

namespace quarvo {
namespace {

void append_utf8(char32_t c, std::string& out) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

std::string ViewerCaption(std::string_view file_name) {
    std::string caption = "Quarvo - [";
    caption += StrMan.TextAfterLast(std::string_view(&kPathSeparator, 1), file_name);
    caption += ']';
    return caption;
}

std::string UnencodableQuestion(const EncodedText& text) {
    char code[16];
    std::snprintf(code, sizeof code, "%04X", static_cast<unsigned>(text.first_unencodable));
    std::string question =
        "This file is kept one byte per character (Windows-1252), which has no byte for " +
        std::to_string(text.unencodable) + " of the characters in the text, the first being \"";
    append_utf8(text.first_unencodable, question);
    question += "\" (U+";
    question += code;
    question += ").\n\nEach of them would be saved as \"?\". Save anyway?";
    return question;
}

ViewerDocument::ViewerDocument(ViewerView& view, Desktop& desktop)
    : view_(view), desktop_(desktop) {}

void ViewerDocument::Show(const std::string& file_name) {
    view_.SetCaption(ViewerCaption(file_name));
    // Emptied first: should reading fail, text of an earlier showing must
    // not stay where a Save would write it over the newly named file.
    view_.SetText({});
    if (!PlainFileExists(file_name)) return;
    Load(file_name, /*write_backup=*/true);
}

void ViewerDocument::Load(const std::string& file_name, bool write_backup) {
    const auto busy = view_.ShowBusy(file_name, write_backup ? 3 : 2);
    const std::string bytes = ReadWholeFile(file_name);
    busy->Step();
    view_.SetText(bytes);
    busy->Step();
    if (!write_backup) return;
    // The backup is the file as it is on disk, whatever the editor makes of it.
    WriteWholeFile(kBackupFileName, bytes);
    busy->Step();
}

void ViewerDocument::Reload(const std::string& file_name) {
    Load(file_name, /*write_backup=*/false);
}

void ViewerDocument::Write(const std::string& file_name, bool unless_empty) {
    EncodedText text;
    {
        const auto busy = view_.ShowBusy({}, 1);
        text = view_.Text();
        busy->Step();
    }
    if (unless_empty && text.bytes.empty()) return;
    if (text.unencodable != 0 && !desktop_.AskToSaveAnyway(UnencodableQuestion(text))) return;
    const auto busy = view_.ShowBusy(file_name, 1);
    WriteWholeFile(file_name, text.bytes);
    busy->Step();
}

void ViewerDocument::Save(const std::string& file_name) {
    if (!PlainFileExists(file_name)) return;
    Write(file_name, /*unless_empty=*/true);
}

void ViewerDocument::SaveAs(const std::string& file_name) {
    const auto chosen = desktop_.AskSaveFileName(file_name);
    if (!chosen) return;
    Write(*chosen, /*unless_empty=*/false);
}

}  // namespace quarvo
