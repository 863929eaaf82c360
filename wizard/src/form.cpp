// The form model's containers and list helpers.
#include <algorithm>
#include <numeric>

#include "core/utf.h"
#include "platform/collate.h"
#include "wizard/form.h"
#include "wizard/ui_services.h"

namespace fennick::ui {

bool isCaptioned(Kind kind) {
  return kind == Kind::Label || kind == Kind::RadioGroup || kind == Kind::GroupBox ||
         kind == Kind::CheckBox;
}

void Component::addItem(std::string text) {
  if (sorted) {
    std::size_t at = 0;
    while (at < items.size() && platform::compareTextIgnoreCase(items[at], text) <= 0) ++at;
    insertItem(at, std::move(text));
    return;
  }
  items.push_back(std::move(text));
  selected.push_back(false);
}

void Component::insertItem(std::size_t at, std::string text) {
  at = std::min(at, items.size());
  items.insert(items.begin() + static_cast<long>(at), std::move(text));
  selected.insert(selected.begin() + static_cast<long>(at), false);
}

void Component::deleteItem(std::size_t at) {
  if (at >= items.size()) return;
  items.erase(items.begin() + static_cast<long>(at));
  selected.erase(selected.begin() + static_cast<long>(at));
}

void Component::clearItems() {
  items.clear();
  selected.clear();
  caret = -1;
  itemIndex = -1;
}

void Component::sortItems() {
  std::stable_sort(items.begin(), items.end(), [](const std::string& a, const std::string& b) {
    return platform::compareTextIgnoreCase(a, b) < 0;
  });
  selected.assign(items.size(), false);
}

Component& Form::add(std::string name, Kind kind, std::string parent, Bounds bounds,
                     std::string caption) {
  auto c = std::make_unique<Component>();
  c->name = std::move(name);
  c->kind = kind;
  c->parent = std::move(parent);
  c->bounds = bounds;
  c->caption = std::move(caption);
  components_.push_back(std::move(c));
  return *components_.back();
}

Component* Form::find(std::string_view name) {
  for (auto& c : components_)
    if (equalsIgnoreAsciiCase(c->name, name)) return c.get();
  return nullptr;
}

Component& Form::operator[](std::string_view name) {
  if (Component* c = find(name)) return *c;
  throw std::logic_error("Form " + name_ + " has no component " + std::string(name));
}

const Component& Form::operator[](std::string_view name) const {
  return const_cast<Form&>(*this)[name];
}

std::string errorBoxText(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
  return message;
}

}  // namespace fennick::ui
