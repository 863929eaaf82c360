// The main window's start sequence, its page state machine behind Back,
// Next, Close and Help, the event dispatch from the view and the error box.
#include "engine/flags.h"
#include "wizard/main_form.h"

namespace fennick {

namespace {

// The step label of each page shown; page 2 is never shown.
struct StepLabel {
  int page;
  const char* name;
};
constexpr StepLabel kStepLabels[] = {
    {1, "Label1"}, {3, "Label3"}, {4, "Label4"}, {5, "Label5"}, {6, "Label6"}};

}  // namespace

Taaform1::Taaform1(ui::UiServices& ui, TargetOpener targetOpener, MainFormHooks hooks,
                   WizardEngine engine)
    : ui_(ui),
      hooks_(std::move(hooks)),
      engine_(std::move(engine)),
      form_("Taaform1", "", 594, 425),
      target_(std::move(targetOpener)) {
  defineComponents();
  logListener_ = log_.addListener([this](const ConversionLog& log, ConversionLog::Change) {
    form_["sc"].caption = log.text();
  });
}

Taaform1::~Taaform1() { log_.removeListener(logListener_); }

std::string Taaform1::caption(const std::string& component) const {
  return form_[component].caption;
}

void Taaform1::onCreate() {
  guarded([this] {
    if (hooks_.ensureDataFolder) hooks_.ensureDataFolder(*this);
    languageCode_ = "cn";
    applycaptions();
    StopRequested = false;
    closeHandler_ = CloseHandler::Close;
    form_.setCaption(kApplicationTitle);
    if (hooks_.loadSettings) hooks_.loadSettings(*this);
    if (BatchMode && hooks_.unattendedStart) hooks_.unattendedStart(*this);
  });
  // Even when a step above failed, the window opens on page 1 with the
  // values applied so far, so that Next can always move on.
  wizardPage_ = 1;
  form_["Panel4"].bounds.left = 1;
  form_["Panel4"].bounds.top = 1;
  setpage(1);
}

void Taaform1::onDestroy() {
  guarded([this] {
    if (hooks_.saveSettings) hooks_.saveSettings(*this);
  });
}

void Taaform1::guarded(const std::function<void()>& action) {
  try {
    action();
  } catch (const SilentAbort&) {
  } catch (const std::exception& error) {
    ui_.showError(ui::errorBoxText(error.what()), kApplicationTitle);
  }
}

void Taaform1::onClick(const std::string& component) {
  using Handler = void (Taaform1::*)();
  struct Route {
    const char* component;
    Handler handler;
  };
  static constexpr Route kRoutes[] = {
      {"btnext", &Taaform1::btnextClick},   {"btback", &Taaform1::btbackClick},
      {"bthelp", &Taaform1::bthelpClick},   {"Image1", &Taaform1::Image1Click},
      {"btbrowse", &Taaform1::btbrowseClick}, {"Button1", &Taaform1::Button1Click},
      {"Button2", &Taaform1::Button2Click}, {"Button3", &Taaform1::Button3Click},
      {"Button4", &Taaform1::Button4Click},
  };
  if (component == "btcancel") {
    guarded([this] { closeHandler_ == CloseHandler::Stop ? stopClick() : closeClick(); });
    return;
  }
  if (component == "btcreatebat") {
    guarded([this] {
      if (hooks_.openShortcutWindow) hooks_.openShortcutWindow(*this);
    });
    return;
  }
  for (const Route& route : kRoutes)
    if (component == route.component) {
      guarded([this, &route] { (this->*route.handler)(); });
      return;
    }
}

void Taaform1::onDoubleClick(const std::string& component) {
  if (component == "availabletables") guarded([this] { availabletablesDblClick(); });
  if (component == "selecttables") guarded([this] { selecttablesDblClick(); });
}

void Taaform1::onTimer(const std::string& timer) {
  if (timer == "Timer1") guarded([this] { btnextClick(); });
}

void Taaform1::setpage(int page) {
  ui::Component& back = form_["btback"];
  ui::Component& next = form_["btnext"];
  ui::Component& close = form_["btcancel"];
  ui::Component& help = form_["bthelp"];
  back.enabled = next.enabled = close.enabled = help.enabled = true;
  next.caption = "Next >";
  if (page == 1) back.enabled = false;
  if (page == 6) {
    back.enabled = false;
    next.caption = "Finish";
    close.enabled = false;
    help.enabled = false;
  }
  form_["pg"].itemIndex = page - 1;
  for (const StepLabel& step : kStepLabels) form_[step.name].bold = step.page == page;
  if (page == 5) next.enabled = !form_["selecttables"].items.empty();
  if (page == 3) form_.setFocus("edtservice");
  if (page == 5) form_.setFocus("availabletables");
}

void Taaform1::performPageAction() {
  switch (wizardPage_) {
    case 3: step3Click(); break;
    case 4: step4Click(); break;
    case 5: step5Click(); break;
    case 6: step6Click(); break;
    default: break;
  }
}

void Taaform1::btnextClick() {
  // A Next that arrives while a run lets messages through (the start
  // timer's, a second click) must not start another run inside it.
  if (runActive_) return;
  performPageAction();
  if (StopRequested) return;  // the run was stopped in its last table: stay on the log
  if (wizardPage_ < 6) {
    wizardPage_ = wizardPage_ == 1 ? 3 : wizardPage_ + 1;
    setpage(wizardPage_);
  } else if (!BatchMode) {
    wizardPage_ = 1;
    setpage(1);
  }
  if (BatchMode && !closeRequested_) continueBatchChain();
}

void Taaform1::btbackClick() {
  if (runActive_) return;
  // Leaving the log of a stopped run: the stop is done with, and a flag
  // left set would keep every later Next from moving on.
  StopRequested = false;
  if (wizardPage_ == 5) bkstep5Click();
  if (wizardPage_ <= 1) return;
  wizardPage_ = wizardPage_ == 3 ? 1 : wizardPage_ - 1;
  setpage(wizardPage_);
}

void Taaform1::continueBatchChain() {
  // Each press runs the whole of Next again, these tests included; a press
  // that fails or aborts ends the chain.
  if (wizardPage_ == 1) btnextClick();
  if (wizardPage_ == 2) btnextClick();
  if (wizardPage_ == 3) btnextClick();
  if (wizardPage_ == 4) btnextClick();
  if (wizardPage_ == 5 && !closeRequested_) {
    selectBatchTables();
    btnextClick();
  }
}

void Taaform1::closeClick() {
  if (ui_.askYesNo(caption("queryclose"), "Information")) requestClose();
}

void Taaform1::stopClick() {
  if (ui_.askYesNo("Stop", "Info")) {
    StopRequested = true;
    form_["btback"].enabled = true;
    form_["btcancel"].caption = "Close";
    closeHandler_ = CloseHandler::Close;
  } else {
    StopRequested = false;
  }
}

void Taaform1::bthelpClick() { ui_.shellOpen(helpTarget(caption("helpurl"))); }

void Taaform1::Image1Click() { bthelpClick(); }

}  // namespace fennick
