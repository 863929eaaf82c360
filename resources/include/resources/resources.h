// The files the programs carry inside themselves: the empty-database
// templates, the caption tables and the banner picture.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace fennick {

struct ResourceEntry {
  std::string_view name;  // as stored, upper case ("MDB2000")
  std::string_view type;  // as stored, upper case ("MDBFILE")
  std::string_view bytes;
};

// Every carried resource.
std::vector<ResourceEntry> allResources();

// The bytes of a resource; name and type are matched without regard to case.
std::optional<std::string_view> findResource(std::string_view name, std::string_view type);

}  // namespace fennick
