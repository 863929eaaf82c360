// The page actions behind Next (open the source, list its tables, run the
// conversion, finish), the target-file choice, and the job as the controls
// hold it.
#include "engine/flags.h"
#include "wizard/main_form.h"

namespace fennick {

namespace {

std::string trimBlanks(const std::string& text) {
  std::size_t first = 0, last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
  return text.substr(first, last - first);
}

// The entry the table listing shows for a first-column value.
std::string listEntry(const Value& value) {
  return value.kind() == Value::Kind::Text ? value.asText() : value.toDisplayString();
}

// Marks the run in progress for as long as it lasts, whichever way it ends.
class RunActiveScope {
 public:
  explicit RunActiveScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~RunActiveScope() { flag_ = false; }
  RunActiveScope(const RunActiveScope&) = delete;
  RunActiveScope& operator=(const RunActiveScope&) = delete;

 private:
  bool& flag_;
};

}  // namespace

// What the run asks of the window while it works.
class Taaform1::RunHost : public ConversionHost {
 public:
  explicit RunHost(Taaform1& window) : window_(window) {}

  void runStarting() override {
    ui::Form& f = window_.form_;
    // The log page comes up while WizardPage stays 5 until the run returns.
    f["pg"].itemIndex = 5;
    f["btback"].enabled = false;
    f["btnext"].enabled = false;
    f["btcancel"].caption = "Stop";
    f["btcancel"].enabled = true;
    window_.closeHandler_ = CloseHandler::Stop;
  }
  void handlePendingMessages() override { window_.ui_.pumpMessages(); }
  void closeMainWindow() override { window_.requestClose(); }
  std::string batchParameterFile() const override { return window_.batchParameterFile_; }

 private:
  Taaform1& window_;
};

ConversionJob Taaform1::jobFromControls() const {
  const ui::Form& f = form_;
  ConversionJob job;
  job.oracleh = f["edtservice"].caption;
  job.oracleu = f["edtoracleusername"].caption;
  job.oraclep = f["edtoraclepassword"].caption;
  job.accessformat = f["cbaccessformat"].itemIndex;
  job.accessfilename = f["SaveDialog1"].caption;
  job.processtable = f["processtable"].itemIndex;
  job.tabledefonly = f["chktabledefi"].checked;
  job.skipindex = f["chkskipindex"].checked;
  job.blobtotext = f["chkblobtotext"].checked;
  job.nameuppercase = f["chkuppercase"].checked;
  job.tables = f["selecttables"].items;
  job.accessmode = f["accessmode"].itemIndex;
  job.mysqldatabase = f["edtdatabase"].caption;
  job.mysqlu = f["edtname"].caption;
  job.mysqlp = f["edtpassword"].caption;
  job.host = f["edthost"].caption;
  job.port = f["edtport"].caption;
  return job;
}

void Taaform1::step3Click() {
  engine_.openSource(source_, caption("edtservice"), caption("edtoracleusername"),
                     caption("edtoraclepassword"));
}

void Taaform1::step4Click() {
  if (trimBlanks(caption("editaccessname")).empty()) {
    ui_.showMessage(caption("nullaccessname"), kApplicationTitle);
    form_.setFocus("btbrowse");
    throw SilentAbort{};
  }
  ui::Component& available = form_["availabletables"];
  // Entries listed before a failure stay in the list.
  std::unique_ptr<SourceDataset> tables = engine_.querySource(source_, kTableListQuery);
  for (; !tables->eof(); tables->next()) {
    if (tables->fieldCount() == 0) break;
    available.addItem(listEntry(tables->value(0)));
  }
  if (!available.items.empty()) available.caret = 0;
}

void Taaform1::step5Click() {
  const ConversionJob job = jobFromControls();
  RunTexts texts;
  texts.completed = caption("Label29");
  texts.migrated = caption("Label30");
  texts.clickFinish = caption("Label32");
  RunHost host(*this);
  RunEnd end;
  {
    RunActiveScope active(runActive_);
    end = engine_.run(job, texts, source_, target_, log_, host);
  }
  if (end == RunEnd::Stopped) throw SilentAbort{};
}

void Taaform1::step6Click() {
  log_.ClearLog();
  form_["selecttables"].clearItems();
  requestClose();
}

void Taaform1::btbrowseClick() {
  ui::SaveDialogRequest request;
  request.fileName = caption("editaccessname");
  request.initialFolder = form_["SaveDialog1"].initialFolder;
  request.defaultExtension = "mdb";
  request.filter = "MS Access Databases (.mdb)|*.mdb";
  if (std::optional<std::string> chosen = ui_.saveFile(request)) {
    form_["SaveDialog1"].caption = *chosen;
    form_["editaccessname"].caption = *chosen;
  }
}

}  // namespace fennick
