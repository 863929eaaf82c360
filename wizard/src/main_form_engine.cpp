// The wizard wired to the engine's own source connection and conversion
// run. Kept apart so that a program that supplies its own WizardEngine (the
// tests) does not link the drivers.
#include "wizard/main_form.h"

namespace fennick {

WizardEngine realWizardEngine() {
  WizardEngine engine;
  engine.openSource = [](SourceConnection& source, const std::string& service,
                         const std::string& user, const std::string& password) {
    source.open(service, user, password);
  };
  engine.querySource = [](SourceConnection& source, const std::string& sql) {
    return source.query(sql);
  };
  engine.run = runConversion;
  return engine;
}

Taaform1::Taaform1(ui::UiServices& ui, TargetOpener targetOpener, MainFormHooks hooks)
    : Taaform1(ui, std::move(targetOpener), std::move(hooks), realWizardEngine()) {}

}  // namespace fennick
