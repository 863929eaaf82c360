// Paths the tests need, valid in the native build and under Wine alike.
#pragma once

#include <string>

namespace fennick::test {

// A file under the shared fixtures and reference folder ("fixtures/access/x.mdb").
std::string sharedPath(const std::string& relative);
// A file under the project's source tree.
std::string sourcePath(const std::string& relative);
// A file under the build tree ("samples/sample.db").
std::string binaryPath(const std::string& relative);
// A fresh, empty folder for this test, removed again at exit; ends without
// a separator.
std::string scratchDir();
// Joins a folder and a name with the system's separator.
std::string joinPath(const std::string& folder, const std::string& name);

}  // namespace fennick::test
