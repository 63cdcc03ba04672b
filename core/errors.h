// Typed errors of the conversion core. Every error carries the message the
// user sees; callers let them travel up to the application's error report.
#pragma once

#include <stdexcept>
#include <string>

namespace quarvo {

// The program's general error: a message and nothing else.
class Exception : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class EStreamError : public Exception {
  public:
    using Exception::Exception;
};

// A file cannot be opened for reading: "Cannot open file <name>".
class EFOpenError : public EStreamError {
  public:
    explicit EFOpenError(const std::string& file_name)
        : EStreamError("Cannot open file " + file_name) {}
};

// A file cannot be created or replaced: "Cannot create file <name>".
class EFCreateError : public EStreamError {
  public:
    explicit EFCreateError(const std::string& file_name)
        : EStreamError("Cannot create file " + file_name) {}
};

class EFilerError : public EStreamError {
  public:
    using EStreamError::EStreamError;
};

// Fewer bytes arrived than the file announced: "Stream read error".
class EReadError : public EFilerError {
  public:
    EReadError() : EFilerError("Stream read error") {}
};

// Fewer bytes could be stored than the text holds: "Stream write error".
class EWriteError : public EFilerError {
  public:
    EWriteError() : EFilerError("Stream write error") {}
};

}  // namespace quarvo
