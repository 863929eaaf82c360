// The main window `Taaform1`: the wizard that leads from the welcome page
// through the source connection, the conversion settings and the table
// picker to the conversion log.
//
// The window is a ui::Form; this controller holds the page state machine,
// the page actions, the table picker and the captions. It reaches the user
// only through ui::UiServices and the engine only through WizardEngine, so
// it runs without any window system. The saved settings and the unattended
// start belong to other parts of the program and come in as hooks.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "engine/log.h"
#include "engine/run.h"
#include "engine/target.h"
#include "sources/source.h"
#include "wizard/captions.h"
#include "wizard/form.h"
#include "wizard/ui_services.h"

namespace fennick {

class ParameterList;
class Taaform1;

// Work the programs plug in; each hook may be empty.
struct MainFormHooks {
  std::function<void(Taaform1&)> ensureDataFolder;    // start, before the captions
  std::function<void(Taaform1&)> loadSettings;        // start, after the captions
  std::function<void(Taaform1&)> saveSettings;        // the window is destroyed
  std::function<void(Taaform1&)> unattendedStart;     // start, when BatchMode is on
  std::function<void(Taaform1&)> openShortcutWindow;  // "Create Shortcut File" on page 5
};

// The engine operations the wizard calls. The programs use the real ones
// (the three-argument constructor); tests supply their own.
struct WizardEngine {
  std::function<void(SourceConnection&, const std::string& service, const std::string& user,
                     const std::string& password)>
      openSource;
  std::function<std::unique_ptr<SourceDataset>(SourceConnection&, const std::string& sql)>
      querySource;
  std::function<RunEnd(const ConversionJob&, const RunTexts&, SourceConnection&,
                       TargetConnection&, ConversionLog&, ConversionHost&)>
      run;
};

// The engine's own source connection and conversion run.
WizardEngine realWizardEngine();

// The query page 4 lists the source tables with, exactly as sent.
inline constexpr const char* kTableListQuery =
    "select  table_name   from   user_tables order by table_name";

inline constexpr const char* kApplicationTitle = "Fennick 4.0";

class Taaform1 : public ui::FormController {
 public:
  Taaform1(ui::UiServices& ui, TargetOpener targetOpener, MainFormHooks hooks = {});
  Taaform1(ui::UiServices& ui, TargetOpener targetOpener, MainFormHooks hooks,
           WizardEngine engine);
  ~Taaform1() override;
  Taaform1(const Taaform1&) = delete;
  Taaform1& operator=(const Taaform1&) = delete;

  ui::Form& form() override { return form_; }
  ConversionLog& log() { return log_; }
  SourceConnection& source() { return source_; }
  TargetConnection& target() { return target_; }
  int wizardPage() const { return wizardPage_; }

  // The view's entry points. Errors that no action catches end up in the
  // error box here, so the view never sees them.
  void onCreate() override;  // FormCreate: the start sequence
  void onClick(const std::string& component) override;
  void onDoubleClick(const std::string& component) override;
  void onTimer(const std::string& timer) override;  // "Timer1": presses Next
  void onDestroy() override;                        // FormDestroy: saves the settings
  bool closeRequested() const override { return closeRequested_; }

  // Navigation. These throw what the page actions let pass; a silent abort
  // (the empty-name message, a stopped run) is a SilentAbort.
  void setpage(int page);
  void btnextClick();
  void btbackClick();

  // Page actions, reached through Next.
  void step3Click();
  void step4Click();
  void step5Click();
  void step6Click();

  void btbrowseClick();
  void closeClick();
  void stopClick();
  void bthelpClick();
  void Image1Click();

  // The table picker of page 5.
  void Button1Click();  // "Add >"
  void Button2Click();  // "Add all >"
  void Button3Click();  // "< Remove"
  void Button4Click();  // "< Remove all"
  void availabletablesDblClick();
  void selecttablesDblClick();
  void bkstep5Click();

  // Captions: "en" selects the English table, "cn" the Chinese one.
  const std::string& languageCode() const { return languageCode_; }
  void setLanguageCode(std::string code) { languageCode_ = std::move(code); }
  void applycaptions();

  // The unattended chain: the parameter list that names the tables to pick
  // on page 5 (not owned; null for none), and the first command-line
  // argument, which names the batch log.
  void setBatchParameters(const ParameterList* parameters) { batchParameters_ = parameters; }
  void setBatchParameterFile(std::string path) { batchParameterFile_ = std::move(path); }
  const std::string& batchParameterFile() const { return batchParameterFile_; }

  // The job as the controls hold it now.
  ConversionJob jobFromControls() const;
  // True while a conversion run is in progress.
  bool runActive() const { return runActive_; }
  // Asks the view to close the window once the current event is handled.
  void requestClose() { closeRequested_ = true; }

 private:
  enum class CloseHandler { Close, Stop };
  class RunHost;

  void defineComponents();
  void performPageAction();
  void continueBatchChain();
  void selectBatchTables();
  void moveSelected(const std::string& from, const std::string& to);
  void moveAll(const std::string& from, const std::string& to);
  void resortAvailable();
  void updateNextAfterMove();
  void guarded(const std::function<void()>& action);
  std::string caption(const std::string& component) const;

  ui::UiServices& ui_;
  MainFormHooks hooks_;
  WizardEngine engine_;
  ui::Form form_;
  ConversionLog log_;
  SourceConnection source_;
  TargetConnection target_;
  int wizardPage_ = 1;
  CloseHandler closeHandler_ = CloseHandler::Close;
  std::string languageCode_ = "en";
  bool closeRequested_ = false;
  std::size_t logListener_ = 0;
  bool runActive_ = false;
  const ParameterList* batchParameters_ = nullptr;
  std::string batchParameterFile_;
};

// A page action ended without any message (the empty-name notice already
// shown, a stopped run); the wizard stays where it is.
struct SilentAbort {};

}  // namespace fennick
