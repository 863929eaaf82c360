// libFuzzer target over the Jet reader: each input is written to a scratch
// file, opened, and every row of every table read. Damaged input may only
// end in jet::Error (or a file error); anything else, a crash, a hang or an
// unbounded allocation is a finding.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <string_view>

#include "jet/database.h"
#include "platform/error.h"
#include "platform/file.h"

namespace {

const std::string& scratchPath() {
  static const std::string path = [] {
    std::random_device rd;
    return (std::filesystem::temp_directory_path() /
            ("fennick-fuzz-" + std::to_string(rd()) + std::to_string(rd()) + ".mdb"))
        .string();
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& path = scratchPath();
  fennick::platform::writeWholeFile(path, std::string_view(reinterpret_cast<const char*>(data), size));
  try {
    const auto db = fennick::jet::Database::open(path, fennick::jet::OpenMode::ReadOnly);
    for (const auto& table : db.tables()) {
      try {
        auto rows = db.openCursor(table.name);
        while (rows.next()) {
        }
      } catch (const fennick::jet::Error&) {
        // One damaged table; the others are still read.
      }
    }
  } catch (const fennick::jet::Error&) {
  } catch (const fennick::platform::SystemError&) {
  }
  return 0;
}
