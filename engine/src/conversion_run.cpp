// The conversion run over the selected tables.
#include "core/utf.h"
#include "engine/flags.h"
#include "engine/run.h"
#include "engine/target.h"
#include "engine/tcc.h"
#include "platform/clock.h"
#include "sources/source.h"

namespace fennick {

std::string deriveTargetName(const std::string& sourceName,
                             const std::function<bool(const std::string&)>& exists) {
  if (utf16Length(sourceName) <= kMaxNameLength) return sourceName;
  const std::string stem = cutToUtf16Units(sourceName, 56);
  std::string candidate;
  for (int k = 0; k <= 100; ++k) {
    std::string digits = std::to_string(k);
    candidate = stem + std::string(4 - digits.size(), '0') + digits;
    if (!exists(candidate)) break;
  }
  return candidate;
}

std::string applynamecase(const std::string& name, bool upper) {
  return upper ? asciiUpper(name) : name;
}

std::string batchLogName(const std::string& parameterFile) {
  const std::size_t folderEnd = parameterFile.find_last_of("\\/:");
  const std::size_t dot = parameterFile.rfind('.');
  const bool hasExtension =
      dot != std::string::npos && (folderEnd == std::string::npos || dot > folderEnd);
  return (hasExtension ? parameterFile.substr(0, dot) : parameterFile) + ".log";
}

RunEnd runConversion(const ConversionJob& job, const RunTexts& texts, SourceConnection& source,
                     TargetConnection& target, ConversionLog& log, ConversionHost& host) {
  host.runStarting();
  const ExistingTablePolicy policy = job.policy();
  const bool convertIndexes = !job.skipindex;
  StopRequested = false;

  Tcc tcc(source, target);
  Tcc::createaccessfile(job.accessfilename, job.accessformat);
  target.open(job.accessfilename);

  const std::size_t tableCount = job.tables.size();
  for (std::size_t position = 0; position < tableCount; ++position) {
    if (StopRequested) {
      StopRequested = false;
      return RunEnd::Stopped;
    }
    const std::string sourceName = applynamecase(job.tables[position], job.nameuppercase);
    bool creationFailed = false;
    const auto exists = [&](const std::string& name) {
      return tcc.tableexists(target.accdataset(), name);
    };
    const std::string targetName = deriveTargetName(sourceName, exists);
    const bool existed = exists(targetName);

    if (existed && policy == ExistingTablePolicy::Overwrite) {
      log.AppendLine("Drop table " + targetName + "... ");
      std::string error;
      if (tcc.droptable(target.accesssql(), targetName, error)) {
        log.ReplaceLastLine("Drop table " + targetName + "...Done");
      } else {
        log.AppendLine(error);
        host.stepFailed(error);
      }
      log.AppendEmptyLine();
    }
    if (existed && policy == ExistingTablePolicy::Skip) {
      log.AppendLine("Skip table " + targetName + "... ");
      log.AppendEmptyLine();
    }
    if (!existed || policy == ExistingTablePolicy::Overwrite) {
      log.AppendLine("Create table " + targetName + "... ");
      std::string error;
      const bool created = tcc.createtable(sourceName, targetName, job.blobtotext, error);
      if (created) {
        log.ReplaceLastLine("Create table " + targetName + "...Done");
      } else {
        log.AppendLine(error);
        host.stepFailed(error);
      }
      log.AppendEmptyLine();
      creationFailed = !created;
      if (convertIndexes && created) tcc.createindexes(sourceName, targetName);
    }
    if (!job.tabledefonly) {
      if ((existed && policy == ExistingTablePolicy::Skip) || creationFailed) {
        log.AppendLine("Skip table " + targetName);
        log.AppendEmptyLine();
      } else {
        log.AppendLine("Insert table " + targetName + "... ");
        std::string error;
        UnstoredValues unstored;
        CopyOptions options;
        options.blobToText = job.blobtotext;
        if (copyrows(source, target, log, host, options, sourceName, targetName, error, unstored)) {
          log.AppendToLastLine("...Done");
        } else {
          log.AppendLine(error);
          host.stepFailed(error);
        }
        if (const std::string line = unstoredValuesLine(unstored); !line.empty())
          log.AppendLine(line);
        log.AppendEmptyLine();
      }
    }
  }

  log.AppendLine(texts.completed);
  log.AppendLine(texts.migrated);
  if (BatchMode) {
    log.AppendLine("The end time:" + platform::formatLocalDateTime(platform::localNow()));
    log.SaveLog(batchLogName(host.batchParameterFile()));
    host.closeMainWindow();
  }
  log.AppendLine(texts.clickFinish);
  // A stop confirmed during the last table's row copy has nothing left to
  // act on; clearing it here keeps the wizard from being stuck on the log.
  StopRequested = false;
  return RunEnd::Completed;
}

}  // namespace fennick
