// The values one conversion run reads, named by the keys under which they
// travel in the parameter file and the saved settings.
//
// The wizard fills a ConversionJob from its controls as a run starts, the
// saved settings and the parameter file fill the controls from text; the
// engine only reads the value.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace fennick {

enum class ExistingTablePolicy { Overwrite = 0, Merge = 1, Skip = 2 };
enum class AccessFormat { Access95_97 = 0, Access2000 = 1 };

struct ConversionJob {
  std::string oracleh;         // Oracle service name
  std::string oracleu;         // Oracle user; the tables offered are this user's own
  std::string oraclep;         // that user's password
  int accessformat = 0;        // item index of the format list; -1 when none is chosen
  std::string accessfilename;  // full path of the target .mdb file
  int processtable = 0;        // item index of the existing-table policy; -1 when none
  bool tabledefonly = false;   // create tables and indexes, copy no rows
  bool skipindex = false;      // do not convert indexes
  bool blobtotext = false;     // BLOB columns become text columns
  bool nameuppercase = false;  // upper-case each table name before use
  std::vector<std::string> tables;  // the tables to convert, in order

  // Carried values of the connection page that is never shown: no run reads
  // them, but they travel like job fields.
  int accessmode = 0;
  std::string mysqldatabase, mysqlu, mysqlp, host, port;

  // The policy a run applies: index 0 is Overwrite, 2 is Skip, and every
  // other index (1, or none chosen) acts as Merge.
  ExistingTablePolicy policy() const;
  // The template a missing target is created from: 1 is Access 2000, any
  // other value Access 95/97.
  AccessFormat format() const;
};

// Flags travel as "1" and "0"; on reading only the exact text "1" is on.
bool flagFromText(std::string_view text);
const char* flagToText(bool on);

}  // namespace fennick
