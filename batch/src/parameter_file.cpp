// Writing the parameter file of a shortcut. Relies on the platform's ANSI
// conversion and file service.
#include "batch/parameter_file.h"

#include "platform/codepage.h"
#include "platform/file.h"

namespace fennick {

namespace {

std::string flag(bool on) { return on ? "1" : "0"; }

std::string withExtension(const std::string& path, const std::string& extension) {
  const std::size_t folderEnd = path.find_last_of("\\/:");
  const std::size_t dot = path.rfind('.');
  const bool hasExtension =
      dot != std::string::npos && (folderEnd == std::string::npos || dot > folderEnd);
  return (hasExtension ? path.substr(0, dot) : path) + extension;
}

}  // namespace

std::vector<std::string> parameterFileLines(const ShortcutJob& job) {
  std::vector<std::string> lines = {
      "oracleh=" + job.oracleh,
      "oracleu=" + job.oracleu,
      "oraclep=" + job.oraclep,
      "accessmode=" + std::to_string(job.accessmode),
      "accessfilename=" + job.accessfilename,
      "accessformat=" + std::to_string(job.accessformat),
      "processtable=" + std::to_string(job.processtable),
      "tabledefonly=" + flag(job.tabledefonly),
      "skipindex=" + flag(job.skipindex),
      "blobtotext=" + flag(job.blobtotext),
      "alltables=" + std::to_string(job.alltables),
  };
  if (job.alltables == 0)
    for (std::size_t i = 0; i < job.tables.size(); ++i)
      lines.push_back("tables" + std::to_string(i + 1) + "=" + job.tables[i]);
  return lines;
}

std::string parameterFileBytes(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += platform::toAnsi(line) + "\r\n";
  return bytes;
}

void writeParameterFile(const std::string& path, const std::vector<std::string>& lines) {
  platform::writePrivateFile(path, parameterFileBytes(lines));  // it holds the password
}

std::string parameterFileName(const std::string& shortcutPath) {
  return withExtension(shortcutPath, ".fennick");
}

}  // namespace fennick
