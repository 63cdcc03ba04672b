// SPDX-License-Identifier: MIT
// The desktop of the window tests: what would go into a box or a dialog is
// handed to the test instead, so that no modal window blocks it; unanswered
// questions are cancelled, and the folder lookup answers as the test says
// (no folder unless told).
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "file_names.h"
#include "qt_desktop.h"

class RecordingDesktop : public quarvo::QtDesktop {
  public:
    std::function<void(const QString& text)> on_message;
    // A report's text and its list.
    std::function<void(const QString& text, const QString& details)> on_report;
    std::function<quarvo::SaveChoice(const QString& question)> on_save_changes;
    std::function<void(const QString& message)> on_error;
    std::function<bool(const QString& question)> on_question;
    std::function<bool(const QString& question)> on_replace;
    std::function<std::optional<std::string>(const std::string& suggested)> on_save_name;
    std::function<void(const std::string& link, QWidget* owner)> on_link;
    std::function<std::string(std::uint8_t kind)> folders;

    void ShowMessage(std::string_view text) override {
        if (on_message) on_message(quarvo::fileNameText(text));
    }
    void ShowReport(std::string_view text, std::string_view details) override {
        if (on_report) on_report(quarvo::fileNameText(text), quarvo::fileNameText(details));
    }
    [[nodiscard]] quarvo::SaveChoice AskToSaveChanges(std::string_view question) override {
        return on_save_changes ? on_save_changes(quarvo::fileNameText(question))
                               : quarvo::SaveChoice::Cancel;
    }
    void ReportError(std::string_view message) override {
        if (on_error) on_error(quarvo::fileNameText(message));
    }
    [[nodiscard]] bool AskToSaveAnyway(std::string_view question) override {
        return on_question && on_question(QString::fromUtf8(
                                  question.data(), static_cast<qsizetype>(question.size())));
    }
    [[nodiscard]] bool AskToReplace(std::string_view question) override {
        return on_replace && on_replace(quarvo::fileNameText(question));
    }
    [[nodiscard]] std::optional<std::string> AskSaveFileName(
        const std::string& suggested) override {
        return on_save_name ? on_save_name(suggested) : std::nullopt;
    }
    void OpenLink(const std::string& link) override {
        if (on_link) on_link(link, linkOwner());
    }
    [[nodiscard]] std::string LookUpFolder(std::uint8_t kind) override {
        return folders ? folders(kind) : std::string();
    }
};
