// Operating-system errors as the user should read them.
#pragma once

#include <stdexcept>
#include <string>

namespace fennick::platform {

// The code of the last failed system call (GetLastError or errno).
int lastErrorCode();

// The system's description of an error code, without trailing blanks, line
// breaks or full stop (a message that quotes it adds its own punctuation).
std::string systemErrorText(int code);

// An error raised by a platform service; what() is the whole message.
class SystemError : public std::runtime_error {
 public:
  SystemError(const std::string& message, int code)
      : std::runtime_error(message), code_(code) {}
  int code() const { return code_; }

 private:
  int code_;
};

}  // namespace fennick::platform
