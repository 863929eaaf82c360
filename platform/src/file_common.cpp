// Whole-file helpers built on File, the same on every system.
#include "platform/file.h"

namespace fennick::platform {

void writeWholeFile(const std::string& path, std::string_view bytes) {
  File f = File::open(path, File::Mode::CreateExclusive);
  f.writeAt(0, bytes.data(), bytes.size());
}

void writePrivateFile(const std::string& path, std::string_view bytes) {
  File f = File::open(path, File::Mode::CreatePrivate);
  f.writeAt(0, bytes.data(), bytes.size());
}

std::string readWholeFile(const std::string& path) {
  File f = File::open(path, File::Mode::ReadOnly);
  std::string data(static_cast<std::size_t>(f.size()), '\0');
  data.resize(f.readAt(0, data.data(), data.size()));
  return data;
}

}  // namespace fennick::platform
