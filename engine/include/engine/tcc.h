// The conversion's statement builders: the target file and its probes, the
// table definition and the index conversion of one table (`Tcc`).
//
// Tcc reads the source catalogue through the SourceConnection and writes the
// target through the TargetConnection's command and rowset; it writes
// nothing to the log: the run reports what each step hands back.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/value.h"
#include "engine/job.h"

namespace fennick {

class SourceConnection;
class TargetCommand;
class TargetConnection;
class TargetRowset;

// Names longer than this are cut, for tables and columns alike.
inline constexpr std::size_t kMaxNameLength = 60;

// The Jet type text of one source column (always starting with a blank), or
// nullopt when the column's type has no mapping.
std::optional<std::string> jetTypeText(const std::string& dataType, const Value& dataLength,
                                       const Value& precision, const Value& scale,
                                       bool blobToText);

// Catalogue queries, with quotes inside the name doubled so that the name
// stays one literal.
std::string columnCatalogueQuery(const std::string& sourceName);
std::string indexCatalogueQuery(const std::string& sourceName);
// The row query, with the name quoted as an Oracle identifier.
std::string rowQuery(const std::string& sourceName);

class Tcc {
 public:
  Tcc(SourceConnection& source, TargetConnection& target) : source_(source), target_(target) {}

  // Makes sure a file exists at the path, writing the template of the
  // format (1 = Access 2000, anything else Access 95/97) when none does.
  static void createaccessfile(const std::string& path, int accessFormat);
  // Writes one carried resource to a file; throws "Resource <name> not
  // found" or "Cannot create file "<path>". <reason>".
  static void saveresourcetofile(const std::string& name, const std::string& type,
                                 const std::string& path);

  // Whether a target table of the name exists; never fails.
  bool tableexists(TargetRowset& rowset, const std::string& table) const;
  // Drops the target table; false with the error text on failure.
  bool droptable(TargetCommand& command, const std::string& table, std::string& errorText) const;
  // Creates the target table from the source table's columns; false with
  // the error text when the target refuses the statement. Catalogue query
  // errors pass out.
  bool createtable(const std::string& sourceName, const std::string& targetName,
                   bool blobToText, std::string& errorText);
  // Re-creates the source table's indexes; statements the target refuses
  // are skipped. Catalogue query errors pass out.
  void createindexes(const std::string& sourceName, const std::string& targetName);

  // The lines of the last table statement.
  const std::vector<std::string>& tmpmemo() const { return tmpmemo_; }

 private:
  SourceConnection& source_;
  TargetConnection& target_;
  std::vector<std::string> tmpmemo_;
};

}  // namespace fennick
