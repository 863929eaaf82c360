// createtable: one "Create table" statement from the source's column list.
#include "core/utf.h"
#include "engine/target.h"
#include "engine/tcc.h"
#include "sources/source.h"

namespace fennick {

bool Tcc::createtable(const std::string& sourceName, const std::string& targetName,
                      bool blobToText, std::string& errorText) {
  tmpmemo_.clear();
  auto columns = source_.query(columnCatalogueQuery(sourceName));
  tmpmemo_.push_back("Create table [" + targetName + "] (");
  while (!columns->eof()) {
    const std::string name =
        cutToUtf16Units(columns->field("column_name").toDisplayString(), kMaxNameLength);
    std::string line = "[" + name + "]";
    const Value& dataType = columns->field("data_type");
    if (auto type = jetTypeText(dataType.isNull() ? std::string() : dataType.toDisplayString(),
                                columns->field("data_length"), columns->field("data_precision"),
                                columns->field("data_scale"), blobToText))
      line += *type;
    columns->next();
    if (!columns->eof()) line += " , ";
    tmpmemo_.push_back(std::move(line));
  }
  tmpmemo_.push_back(" ) ");

  std::string statement;
  for (std::size_t i = 0; i < tmpmemo_.size(); ++i) {
    if (i > 0) statement += "\r\n";
    statement += tmpmemo_[i];
  }
  TargetCommand& command = target_.accesssql();
  command.setText(statement);
  try {
    command.execute();
  } catch (const std::exception& e) {
    errorText = e.what();
    return false;
  }
  return true;
}

}  // namespace fennick
