// The one exception the Jet SQL front end throws. what() is the message the
// user reads; kind() lets the engine tell a typing mistake from a statement
// it deliberately does not carry out.
#pragma once

#include <stdexcept>
#include <string>

namespace fennick::jet::sql {

class SqlError : public std::runtime_error {
 public:
  enum class Kind {
    Syntax,        // the text is not a statement Jet would read
    NotSupported,  // valid Jet SQL that this engine does not execute
    Invalid,       // well formed, but a name, size or definition Jet refuses
  };

  SqlError(Kind kind, const std::string& message)
      : std::runtime_error(message), kind_(kind) {}
  Kind kind() const { return kind_; }

 private:
  Kind kind_;
};

}  // namespace fennick::jet::sql
