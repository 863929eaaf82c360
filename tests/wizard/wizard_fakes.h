// Stand-ins for the user interface and the engine, so that the main window
// runs without windows and without databases: scripted answers, recorded
// messages, a source with a fixed table list and a run under test control.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/flags.h"
#include "wizard/main_form.h"

namespace fennick::test {

struct Shown {
  std::string text, title;
};

class ScriptedUi : public ui::UiServices {
 public:
  std::vector<Shown> messages, errors, questions;
  std::deque<bool> answers;  // Yes/No answers, in order; No when exhausted
  std::vector<ui::SaveDialogRequest> saveRequests;
  std::optional<std::string> saveAnswer;
  std::vector<std::string> opened;
  std::function<void()> onPump;  // what "the user" does while messages are pumped

  void showMessage(const std::string& text, const std::string& title) override {
    messages.push_back({text, title});
  }
  void showError(const std::string& text, const std::string& title) override {
    errors.push_back({text, title});
  }
  bool askYesNo(const std::string& text, const std::string& title) override {
    questions.push_back({text, title});
    if (answers.empty()) return false;
    const bool yes = answers.front();
    answers.pop_front();
    return yes;
  }
  std::optional<std::string> saveFile(const ui::SaveDialogRequest& request) override {
    saveRequests.push_back(request);
    return saveAnswer;
  }
  void shellOpen(const std::string& target) override { opened.push_back(target); }
  void pumpMessages() override {
    if (onPump) onPump();
  }
  void startTimer(const std::string&, int) override {}
  void showModal(ui::FormController&) override {}
};

// A one-column dataset of table names.
class NameDataset : public SourceDataset {
 public:
  explicit NameDataset(std::vector<std::string> names) : names_(std::move(names)) { load(); }
  bool eof() const override { return at_ >= names_.size(); }
  void next() override {
    ++at_;
    load();
  }
  std::size_t fieldCount() const override { return 1; }
  const std::string& fieldName(std::size_t) const override { return field_; }
  bool isBlob(std::size_t) const override { return false; }
  const Value& value(std::size_t) const override { return value_; }

 private:
  void load() {
    if (!eof()) value_ = Value::text(names_[at_]);
  }
  std::vector<std::string> names_;
  std::size_t at_ = 0;
  std::string field_ = "TABLE_NAME";
  Value value_;
};

// The engine as the tests see it: what the wizard asked of it.
struct FakeEngine {
  std::vector<std::string> schemaTables;
  std::string refuseConnection;  // when set, opening the source throws it
  std::vector<std::vector<std::string>> opens;
  std::vector<std::string> queries;
  std::vector<ConversionJob> jobs;
  std::vector<RunTexts> texts;
  // The run itself; by default it starts, writes the closing lines and
  // completes.
  std::function<RunEnd(ConversionLog&, ConversionHost&)> run;

  WizardEngine wire() {
    WizardEngine engine;
    engine.openSource = [this](SourceConnection&, const std::string& service,
                               const std::string& user, const std::string& password) {
      opens.push_back({service, user, password});
      if (!refuseConnection.empty()) throw std::runtime_error(refuseConnection);
    };
    engine.querySource = [this](SourceConnection&, const std::string& sql) {
      queries.push_back(sql);
      return std::unique_ptr<SourceDataset>(new NameDataset(schemaTables));
    };
    engine.run = [this](const ConversionJob& job, const RunTexts& runTexts, SourceConnection&,
                        TargetConnection&, ConversionLog& log, ConversionHost& host) {
      jobs.push_back(job);
      texts.push_back(runTexts);
      if (run) return run(log, host);
      host.runStarting();
      StopRequested = false;
      log.AppendLine(runTexts.completed);
      log.AppendLine(runTexts.migrated);
      if (BatchMode) host.closeMainWindow();
      log.AppendLine(runTexts.clickFinish);
      return RunEnd::Completed;
    };
    return engine;
  }
};

inline TargetOpener noTarget() {
  return [](const std::string& path) -> std::unique_ptr<TargetDatabase> {
    throw std::runtime_error("no target database in this test: " + path);
  };
}

}  // namespace fennick::test
