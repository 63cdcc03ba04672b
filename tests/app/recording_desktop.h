// SPDX-License-Identifier: MIT
// The desktop of the window tests: what would go into a box is handed to
// the test instead, so that no modal box blocks it, and the folder lookup
// answers as the test says (no folder unless told).
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <string>

#include "file_names.h"
#include "qt_desktop.h"

class RecordingDesktop : public quarvo::QtDesktop {
  public:
    std::function<void(const QString& text)> on_message;
    std::function<void(const QString& message)> on_error;
    std::function<std::string(std::uint8_t kind)> folders;

    void ShowMessage(std::string_view text) override {
        if (on_message) on_message(quarvo::FileNameText(text));
    }
    void ReportError(std::string_view message) override {
        if (on_error) on_error(quarvo::FileNameText(message));
    }
    [[nodiscard]] std::string LookUpFolder(std::uint8_t kind) override {
        return folders ? folders(kind) : std::string();
    }
};
