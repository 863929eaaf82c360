// The one exception type the Jet engine raises. Its message is what the user
// reads: it names the database file and says what is wrong with it.
#pragma once

#include <stdexcept>
#include <string>

namespace fennick::jet {

class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace fennick::jet
