// Fixture listing and the shell helper for the mdbtools judges.
#include "fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "platform/file.h"
#ifndef _WIN32
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif
#include "test_support.h"

namespace fennick::test {

std::vector<std::string> accessFixtures() {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(sharedPath("fixtures/access"), ec))
    if (entry.path().extension() == ".mdb") names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string accessFixturePath(const std::string& name) { return sharedPath("fixtures/access/" + name); }

std::string readFileBytes(const std::string& path) { return platform::readWholeFile(path); }

std::string shellQuote(const std::string& arg) {
  std::string out = "'";
  for (char c : arg) {
    if (c == '\'') out += "'\\''";
    else out += c;
  }
  return out + "'";
}

std::string runCommand(const std::string& command, bool& ok) {
  std::string out;
#ifdef _WIN32
  (void)command;
  ok = false;
#else
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) {
    ok = false;
    return out;
  }
  char buffer[65536];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, got);
  ok = ::pclose(pipe) == 0;
#endif
  return out;
}

std::string mdbtoolsMissing() {
#ifdef _WIN32
  return "mdbtools is not available under Wine";
#else
  bool ok = false;
  runCommand("command -v mdb-export >/dev/null", ok);
  return ok ? std::string() : std::string("mdbtools is not installed");
#endif
}

std::string mdbtool(const std::string& command) {
  bool ok = false;
  std::string out = runCommand(command + " 2>&1", ok);
  EXPECT_TRUE(ok) << command << "\n" << out;
  return out;
}

std::string freshCopy(const TemplateCase& c, const std::string& name) {
  const std::string path = joinPath(scratchDir(), name + "_" + c.file + ".mdb");
  platform::removeFile(path + ".fjournal");
  platform::removeFile(path + ".findex");
  platform::writeWholeFile(path, readFileBytes(sourcePath(std::string("resources/") + c.file)));
  return path;
}

std::vector<std::uint32_t> killWriterAfter(int delayMicroseconds, const std::function<void(const ReportProgress&)>& writer,
                                           bool& killed) {
  killed = false;
  std::vector<std::uint32_t> told;
#ifndef _WIN32
  int acks[2];
  if (pipe(acks) != 0) return told;
  const pid_t child = fork();
  if (child < 0) return told;
  if (child == 0) {
    close(acks[0]);
    try {
      writer([&](std::uint32_t n) {
        if (write(acks[1], &n, sizeof n) != sizeof n) _exit(3);
      });
    } catch (...) {
      _exit(2);
    }
    _exit(0);
  }
  close(acks[1]);
  usleep(static_cast<useconds_t>(delayMicroseconds));
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  killed = WIFSIGNALED(status);
  std::uint32_t message = 0;
  while (read(acks[0], &message, sizeof message) == sizeof message) told.push_back(message);
  close(acks[0]);
#else
  (void)delayMicroseconds;
  (void)writer;
#endif
  return told;
}

}  // namespace fennick::test
