// copyrows: every source row appended to the target table, committed in
// batches, with a progress line and a stop check every 100 rows.
//
// Values are copied by the column name the table definition gave the
// target (names cut to 60 characters), so long source names keep their
// values. A value the target cannot take leaves its field unset; it is
// counted so that the run can say so.
#include <stdexcept>

#include "core/utf.h"
#include "engine/blob_text.h"
#include "engine/flags.h"
#include "engine/run.h"
#include "engine/target.h"
#include "engine/tcc.h"
#include "sources/source.h"

namespace fennick {
namespace {

std::string progressLine(const std::string& sourceName, long long count) {
  return "Insert table " + sourceName + " " + std::to_string(count) + " Rows ";
}

}  // namespace

bool copyrows(SourceConnection& source, TargetConnection& target, ConversionLog& log,
              ConversionHost& host, const CopyOptions& options, const std::string& sourceName,
              const std::string& targetName, std::string& errorText, UnstoredValues& unstored) {
  TargetRowset& rowset = target.accdataset();
  bool transactionStarted = false;
  try {
    auto rows = source.query(rowQuery(sourceName));

    rowset.close();
    rowset.setText("select * from [" + targetName + "] where 1=0");
    rowset.open();

    target.begin();
    transactionStarted = true;

    std::vector<std::string> targetNames;
    for (std::size_t i = 0; i < rows->fieldCount(); ++i)
      targetNames.push_back(cutToUtf16Units(rows->fieldName(i), kMaxNameLength));

    long long counter = 1;
    while (!rows->eof()) {
      rowset.append();
      for (std::size_t i = 0; i < rows->fieldCount(); ++i) {
        const Value& value = rows->value(i);
        try {
          if (options.blobToText && rows->isBlob(i)) {
            const auto text = blobToText(value.isNull() ? Bytes{} : value.asBytes());
            if (!text) throw std::runtime_error("BLOB cannot be loaded as text");
            rowset.setField(targetNames[i], Value::text(*text));
          } else {
            rowset.setField(targetNames[i], value);
          }
        } catch (const std::exception&) {
          if (!value.isNull()) ++unstored[targetNames[i]];
        }
      }
      rowset.post();
      rows->next();
      if (counter % 100 == 0) {
        if (counter % 5000 == 100) {
          target.commit();
          target.begin();
          rowset.close();
          rowset.open();
        }
        log.ReplaceLastLine(progressLine(sourceName, counter));
        host.handlePendingMessages();
        if (StopRequested) throw std::runtime_error("Operation aborted");
      }
      ++counter;
    }
    target.commit();
    transactionStarted = false;
    log.ReplaceLastLine(progressLine(sourceName, counter - 1));
    rowset.close();
    // The table's index entries, held back between commits, written now:
    // the file is complete for any program once its table is done.
    target.finishWrites();
    return true;
  } catch (const std::exception& e) {
    errorText = e.what();
    try {
      if (transactionStarted) target.commit();
      rowset.close();
      target.finishWrites();
    } catch (const std::exception&) {
      // The copy's own error is the one to report.
    }
    rowset.close();
    return false;
  }
}

std::string unstoredValuesLine(const UnstoredValues& unstored) {
  long long total = 0;
  std::string columns;
  for (const auto& [column, count] : unstored) {
    total += count;
    if (!columns.empty()) columns += ", ";
    columns += column + " " + std::to_string(count);
  }
  if (total == 0) return {};
  return std::to_string(total) + (total == 1 ? " value" : " values") +
         " could not be stored (" + columns + ")";
}

}  // namespace fennick
