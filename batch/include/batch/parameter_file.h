// The parameter file a shortcut replays: the job it holds, its lines in
// their fixed order, and the names derived from the shortcut's name.
//
// The file is key=value text in the system's ANSI code page without a
// byte-order mark, CR LF after every line; values are written as held,
// without trimming or escaping (a value may contain "="). The reader is
// ParameterList.
#pragma once

#include <string>
#include <vector>

namespace fennick {

// What a shortcut replays, as the shortcut window holds it.
struct ShortcutJob {
  std::string oracleh, oracleu, oraclep;
  int accessmode = 0;
  std::string accessfilename;
  int accessformat = 0;
  int processtable = 0;
  bool tabledefonly = false, skipindex = false, blobtotext = false;
  int alltables = 1;                // 0: the listed tables only, 1: all of the schema
  std::vector<std::string> tables;  // written only when alltables is 0
};

// The lines in file order: oracleh, oracleu, oraclep, accessmode,
// accessfilename, accessformat, processtable, tabledefonly, skipindex,
// blobtotext, alltables, then tables1, tables2, ... No nameuppercase line.
std::vector<std::string> parameterFileLines(const ShortcutJob& job);

// The file's bytes: each line in the ANSI code page followed by CR LF.
std::string parameterFileBytes(const std::vector<std::string>& lines);

// Creates or replaces the file; throws "Cannot create file "<path>".
// <reason>" when that is not possible.
void writeParameterFile(const std::string& path, const std::vector<std::string>& lines);

// The shortcut's name with its extension replaced by ".fennick" (appended
// when it has none).
std::string parameterFileName(const std::string& shortcutPath);

}  // namespace fennick
