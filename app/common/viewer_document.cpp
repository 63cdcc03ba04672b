// SPDX-License-Identifier: MIT
#include "viewer_document.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "quarvo/files/file_layer.h"
#include "quarvo/text/strman.h"

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

// The size of a plain file, or 0 for none.
std::uintmax_t FileSizeOrZero(const std::string& file_name) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(file_name, error);
    return error ? 0 : size;
}

}  // namespace

std::string_view ShortFileName(std::string_view file_name) {
    return StrMan.TextAfterLast(std::string_view(&kPathSeparator, 1), file_name);
}

std::string ViewerCaption(std::string_view file_name) {
    std::string caption = "Quarvo - [";
    caption += ShortFileName(file_name);
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

std::string SaveChangesQuestion(std::string_view file_name, std::string_view then) {
    const std::string_view name = ShortFileName(file_name);
    std::string question = "Do you want to save the changes";
    if (!name.empty()) {
        question += " to ";
        question += name;
    }
    if (!then.empty()) {
        question += ' ';
        question += then;
    }
    question += '?';
    return question;
}

std::string EmptyTextMessage(std::string_view file_name) {
    std::string message = "The text is empty, and Save does not empty ";
    message += ShortFileName(file_name);
    message += ". Save as writes an empty file.";
    return message;
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
    // Steps of the read, of each piece the editor is filled with, of the
    // filled editor and of the backup.
    const std::uintmax_t pieces =
        (FileSizeOrZero(file_name) + kEditorPieceBytes - 1) / kEditorPieceBytes;
    const int steps =
        2 + static_cast<int>(std::min<std::uintmax_t>(pieces, 1 << 20)) + (write_backup ? 1 : 0);
    const auto busy = view_.ShowBusy(file_name, steps);
    const std::string bytes = ReadWholeFile(file_name);
    busy->Step();
    view_.SetText(bytes, busy.get());
    busy->Step();
    if (!write_backup) return;
    // The backup is the file as it is on disk, whatever the editor makes of it.
    WriteWholeFile(kBackupFileName, bytes);
    busy->Step();
}

void ViewerDocument::Reload(const std::string& file_name) {
    if (!SettleChanges(file_name, "before loading it again")) return;
    Load(file_name, /*write_backup=*/false);
}

bool ViewerDocument::Write(const std::string& file_name, bool unless_empty) {
    EncodedText text;
    {
        const auto busy = view_.ShowBusy({}, 1);
        text = view_.Text();
        busy->Step();
    }
    if (unless_empty && text.bytes.empty()) return false;
    if (text.unencodable != 0 && !desktop_.AskToSaveAnyway(UnencodableQuestion(text))) return false;
    const auto busy = view_.ShowBusy(file_name, 1);
    WriteWholeFile(file_name, text.bytes);
    busy->Step();
    view_.MarkSaved();
    return true;
}

bool ViewerDocument::Save(const std::string& file_name) {
    if (!PlainFileExists(file_name)) return false;
    return Write(file_name, /*unless_empty=*/true);
}

bool ViewerDocument::SaveAs(const std::string& file_name) {
    const auto chosen = desktop_.AskSaveFileName(file_name);
    if (!chosen) return false;
    return Write(*chosen, /*unless_empty=*/false);
}

bool ViewerDocument::SettleChanges(const std::string& file_name, std::string_view then) {
    if (!view_.Modified()) return true;
    const bool file = PlainFileExists(file_name);
    switch (desktop_.AskToSaveChanges(SaveChangesQuestion(file ? file_name : "", then))) {
        case SaveChoice::Save:
            // A name that is no file is never written over: the text goes
            // where the user says.
            if (!file) return SaveAs(file_name);
            if (Save(file_name)) return true;
            // Save refuses to blank a file; saying so beats a question that
            // seems to have been ignored.
            if (view_.Text().bytes.empty()) desktop_.ShowMessage(EmptyTextMessage(file_name));
            return false;
        case SaveChoice::Discard:
            return true;
        case SaveChoice::Cancel:
            break;
    }
    return false;
}

bool ViewerDocument::MayClose(const std::string& file_name) {
    return SettleChanges(file_name, {});
}

}  // namespace quarvo
