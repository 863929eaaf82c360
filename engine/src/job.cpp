// ConversionJob's derived readings and the flag text rule.
#include "engine/job.h"

namespace fennick {

ExistingTablePolicy ConversionJob::policy() const {
  if (processtable == 0) return ExistingTablePolicy::Overwrite;
  if (processtable == 2) return ExistingTablePolicy::Skip;
  return ExistingTablePolicy::Merge;
}

AccessFormat ConversionJob::format() const {
  return accessformat == 1 ? AccessFormat::Access2000 : AccessFormat::Access95_97;
}

bool flagFromText(std::string_view text) { return text == "1"; }
const char* flagToText(bool on) { return on ? "1" : "0"; }

}  // namespace fennick
