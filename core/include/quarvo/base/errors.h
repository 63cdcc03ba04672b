// SPDX-License-Identifier: MIT
// Typed errors of the conversion core. Every error carries the message the
// user sees; callers let them travel up to the application's error report.
// The file errors keep their fixed texts and, where the system gave one,
// add its reason after ": " ("Cannot create file /x/out.csv: Permission
// denied"): one text covers too many causes to act on alone.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace quarvo {

// The program's general error: a message and nothing else.
class Exception : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A conversion stopped on request (CancelCheck) before it wrote anything:
// its outputs were dropped uncommitted.
class EConversionCancelled : public Exception {
  public:
    EConversionCancelled() : Exception("Cancelled: nothing was written") {}
};

class EStreamError : public Exception {
  public:
    using Exception::Exception;

  protected:
    static std::string WithReason(std::string text, std::string_view reason) {
        if (!reason.empty()) text.append(": ").append(reason);
        return text;
    }
};

// A file cannot be opened for reading: "Cannot open file <name>[: reason]".
class EFOpenError : public EStreamError {
  public:
    explicit EFOpenError(const std::string& file_name, std::string_view reason = {})
        : EStreamError(WithReason("Cannot open file " + file_name, reason)) {}
};

// A file cannot be created or replaced: "Cannot create file <name>[: reason]".
class EFCreateError : public EStreamError {
  public:
    explicit EFCreateError(const std::string& file_name, std::string_view reason = {})
        : EStreamError(WithReason("Cannot create file " + file_name, reason)) {}
};

class EFilerError : public EStreamError {
  public:
    using EStreamError::EStreamError;
};

// Fewer bytes arrived than the file announced: "Stream read error[: reason]".
class EReadError : public EFilerError {
  public:
    explicit EReadError(std::string_view reason = {})
        : EFilerError(WithReason("Stream read error", reason)) {}
};

// Fewer bytes could be stored than the text holds:
// "Stream write error[: reason]".
class EWriteError : public EFilerError {
  public:
    explicit EWriteError(std::string_view reason = {})
        : EFilerError(WithReason("Stream write error", reason)) {}
};

}  // namespace quarvo
