// The program's exception types. Every failure travels as one of these; the message is what the
// user sees in the status line (or in the message box at start-up), exactly as written here.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

// Base of every error the program raises itself.
class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& message) : std::runtime_error(message) {}
};

// A failed operating-system call: "System Error.  Code: N." and the system's own text for N.
class OSError : public Error {
 public:
  explicit OSError(std::uint32_t code);
  std::uint32_t Code() const noexcept { return code_; }

 private:
  std::uint32_t code_;
};

// Reads GetLastError before anything else can change it and raises it as an OSError.
[[noreturn]] void RaiseLastOSError();

// The system's text for an error code, without trailing blanks, line breaks and full stops.
std::string SystemErrorText(std::uint32_t code);
