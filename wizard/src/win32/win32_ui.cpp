// The UI services on Windows: message boxes, the save dialog and the shell
// through the dialog seam, the message loops, modal forms and timers;
// relies on the form windows and user32.
#include "win32/win32_ui.h"

#include <algorithm>
#include <vector>

#include "core/utf.h"
#include "win32/wide_text.h"

namespace fennick::ui::win32 {
namespace {

// Longest path the save dialog may return, in UTF-16 units.
constexpr std::size_t kPathBufferUnits = 32768;

}  // namespace

Win32Ui::Win32Ui(std::string applicationTitle, Dialogs dialogs)
    : applicationTitle_(std::move(applicationTitle)), dialogs_(std::move(dialogs)) {}

Win32Ui::~Win32Ui() {
  // The main window goes first, while everything its end touches still exists.
  main_.reset();
  open_.clear();
}

void Win32Ui::setLook(const std::string& formName, FormLook look) {
  for (auto& entry : looks_)
    if (equalsIgnoreAsciiCase(entry.first, formName)) {
      entry.second = std::move(look);
      return;
    }
  looks_.emplace_back(formName, std::move(look));
}

FormLook Win32Ui::lookOf(const std::string& formName) const {
  for (const auto& entry : looks_)
    if (equalsIgnoreAsciiCase(entry.first, formName)) return entry.second;
  return {};
}

FormWindow& Win32Ui::openMain(FormController& controller) {
  if (main_) {
    open_.erase(std::remove(open_.begin(), open_.end(), main_.get()), open_.end());
    main_.reset();
  }
  main_ = std::make_unique<FormWindow>(*this, controller, nullptr);
  open_.push_back(main_.get());
  main_->open();
  return *main_;
}

FormWindow* Win32Ui::activeWindow() const {
  for (auto it = open_.rbegin(); it != open_.rend(); ++it)
    if ((*it)->isOpen()) return *it;
  return nullptr;
}

void Win32Ui::closeMain() {
  if (main_) main_->close();
}

void Win32Ui::windowDestroyed(FormWindow& window) {
  if (&window == main_.get()) PostQuitMessage(0);
}

void Win32Ui::dispatch(MSG& message) {
  // Dialog keys (Tab, arrows between radio buttons) for the active form.
  FormWindow* active = activeWindow();
  if (active && IsDialogMessageW(active->handle(), &message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

int Win32Ui::run() {
  MSG message;
  while (main_ && main_->isOpen()) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    if (got < 0) return 1;
    dispatch(message);
  }
  return 0;
}

void Win32Ui::pumpMessages() {
  for (FormWindow* window : open_) window->showModel();
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));  // for the loop that ends the program
      return;
    }
    dispatch(message);
  }
}

void Win32Ui::startTimer(const std::string& name, int milliseconds) {
  if (FormWindow* window = activeWindow()) window->startTimer(name, milliseconds);
}

void Win32Ui::showModal(FormController& controller) {
  FormWindow* ownerWindow = activeWindow();
  HWND owner = ownerWindow ? ownerWindow->handle() : nullptr;
  auto window = std::make_unique<FormWindow>(*this, controller, owner);
  open_.push_back(window.get());
  if (owner) EnableWindow(owner, FALSE);
  window->open();

  MSG message;
  while (window->isOpen()) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));  // the outer loop ends too
      break;
    }
    dispatch(message);
  }
  window->close();
  open_.erase(std::find(open_.begin(), open_.end(), window.get()));
  window.reset();
  if (owner && IsWindow(owner)) {
    EnableWindow(owner, TRUE);
    SetActiveWindow(owner);
  }
}

int Win32Ui::messageBox(const std::string& text, const std::string& title, UINT type) {
  FormWindow* active = activeWindow();
  const std::wstring wideText = wide(text);
  const std::wstring wideTitle = wide(title);
  return dialogs_.messageBox(active ? active->handle() : nullptr, wideText.c_str(), wideTitle.c_str(), type);
}

void Win32Ui::showMessage(const std::string& text, const std::string& title) {
  messageBox(text, title, MB_OK);
}

void Win32Ui::showError(const std::string& text, const std::string& title) {
  messageBox(text, title, MB_OK | MB_ICONERROR);
}

bool Win32Ui::askYesNo(const std::string& text, const std::string& title) {
  return messageBox(text, title, MB_YESNO) == IDYES;
}

std::optional<std::string> Win32Ui::saveFile(const SaveDialogRequest& request) {
  const std::wstring filter = dialogFilter(request.filter);
  const std::wstring extension = wide(request.defaultExtension);
  const std::wstring folder = wide(request.initialFolder);
  const std::wstring start = wide(request.fileName);
  std::vector<wchar_t> path(kPathBufferUnits, L'\0');
  std::copy_n(start.begin(), std::min(start.size(), path.size() - 1), path.begin());

  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  FormWindow* active = activeWindow();
  dialog.hwndOwner = active ? active->handle() : nullptr;
  dialog.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = static_cast<DWORD>(path.size());
  dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
  // No question before an existing file: an existing file is a valid choice.
  dialog.Flags = OFN_HIDEREADONLY | OFN_EXPLORER | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
  if (!dialogs_.saveFileName(dialog)) return std::nullopt;
  path.back() = L'\0';
  return narrow(std::wstring(path.data()));
}

void Win32Ui::shellOpen(const std::string& target) {
  FormWindow* active = activeWindow();
  const std::wstring wideTarget = wide(target);
  dialogs_.shellExecute(active ? active->handle() : nullptr, L"open", wideTarget.c_str(), SW_SHOWNORMAL);
}

}  // namespace fennick::ui::win32
