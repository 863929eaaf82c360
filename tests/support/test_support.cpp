// Test paths: under Wine a Unix path is reached through drive Z:.
#include "test_support.h"

#include <atomic>
#include <filesystem>
#include <random>

namespace fennick::test {
namespace {

std::string hostPath(std::string path) {
#ifdef _WIN32
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char& c : path)
    if (c == '/') c = '\\';
#endif
  return path;
}

struct ScratchRoot {
  std::filesystem::path root;
  ScratchRoot() {
    std::random_device rd;
    root = std::filesystem::temp_directory_path() /
           ("fennick-test-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(root);
  }
  ~ScratchRoot() {
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
  }
};

}  // namespace

std::string sharedPath(const std::string& relative) {
  return hostPath(std::string(FENNICK_SHARED_DIR) + "/" + relative);
}

std::string sourcePath(const std::string& relative) {
  return hostPath(std::string(FENNICK_SOURCE_DIR) + "/" + relative);
}

std::string binaryPath(const std::string& relative) {
  return hostPath(std::string(FENNICK_BINARY_DIR) + "/" + relative);
}

std::string scratchDir() {
  static ScratchRoot root;
  static std::atomic<int> counter{0};
  std::string name = "d";
  name += std::to_string(counter++);
  auto dir = root.root / name;
  std::filesystem::create_directories(dir);
  return dir.string();
}

std::string joinPath(const std::string& folder, const std::string& name) {
#ifdef _WIN32
  return folder + "\\" + name;
#else
  return folder + "/" + name;
#endif
}

}  // namespace fennick::test
