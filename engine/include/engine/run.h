// The conversion run: every selected table in list order through the
// existing-table policy, its definition, its indexes and its rows, each
// step reported in the log.
//
// The run takes the job as its host read it from the controls when the run
// started, reports through the ConversionLog and reaches its host (a window,
// a terminal) only through ConversionHost; it never touches a window.
#pragma once

#include <functional>
#include <map>
#include <string>

#include "engine/job.h"
#include "engine/log.h"

namespace fennick {

class SourceConnection;
class TargetConnection;

class ConversionHost {
 public:
  virtual ~ConversionHost() = default;
  // The run starts: show the log, disable Back and Next, turn Close into
  // Stop.
  virtual void runStarting() {}
  // Every 100 copied rows: let the user interface handle what is pending,
  // a click on Stop among it.
  virtual void handlePendingMessages() {}
  // Batch mode, at the end of a completed run: close the main window.
  virtual void closeMainWindow() {}
  // A step of a table failed (a drop, a creation, a row copy); its message
  // has just been written to the log.
  virtual void stepFailed(const std::string& message) { (void)message; }
  // Batch mode: the first command-line argument (the parameter file).
  virtual std::string batchParameterFile() const { return {}; }
};

// The closing lines of the log, in the language the wizard shows.
struct RunTexts {
  std::string completed = "Conversion is Completed";                                      // Label29
  std::string migrated = "Wizard has migrated your Oracle database to Access successfully.";  // Label30
  std::string clickFinish = "Click 'Finish' to exit the wizard.";                           // Label32
};

enum class RunEnd { Completed, Stopped };

// Runs the conversion. Errors that no step catches (the template file, the
// target connection, a failing catalogue query, the batch log) pass out
// with their message; the log keeps what was written so far.
RunEnd runConversion(const ConversionJob& job, const RunTexts& texts, SourceConnection& source,
                     TargetConnection& target, ConversionLog& log, ConversionHost& host);

// The target name for a source name: the name itself up to 60 characters,
// otherwise its first 56 characters and the first free number 0000-0100
// (`exists` tells whether a candidate is taken).
std::string deriveTargetName(const std::string& sourceName,
                             const std::function<bool(const std::string&)>& exists);

// Upper-cases ASCII letters when `upper` is set.
std::string applynamecase(const std::string& name, bool upper);

// The batch log's name: the parameter file's with its extension replaced by
// ".log" (appended when it has none).
std::string batchLogName(const std::string& parameterFile);

// Values a row copy could not store, counted per target column.
using UnstoredValues = std::map<std::string, long long>;

struct CopyOptions {
  bool blobToText = false;
};

// Copies every row of the source table into the target table. False with
// the error text when the copy failed; rows posted before the failure stay.
bool copyrows(SourceConnection& source, TargetConnection& target, ConversionLog& log,
              ConversionHost& host, const CopyOptions& options, const std::string& sourceName,
              const std::string& targetName, std::string& errorText, UnstoredValues& unstored);

// The log line that names values a copy could not store, or "" when none.
std::string unstoredValuesLine(const UnstoredValues& unstored);

}  // namespace fennick
