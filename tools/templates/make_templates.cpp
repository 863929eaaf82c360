// fennick-make-templates <resources folder>: writes the two empty-database
// templates (mdb2000, mdb95) the programs carry. The output is the same on
// every run; the files are committed under resources/.
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>

#include "platform/file.h"
#include "templates/empty_database.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fennick-make-templates <resources folder>\n");
    return 2;
  }
  using fennick::templates::EmptyDatabaseFormat;
  try {
    for (auto format : {EmptyDatabaseFormat::Jet4, EmptyDatabaseFormat::Jet3}) {
      const auto bytes = fennick::templates::makeEmptyDatabase(format);
      const std::string path = std::string(argv[1]) + "/" + fennick::templates::templateFileName(format);
      fennick::platform::writeWholeFile(
          path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
      std::printf("%s: %zu bytes\n", path.c_str(), bytes.size());
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "fennick-make-templates: %s\n", e.what());
    return 1;
  }
  return 0;
}
