# Run as a script: writes a C++ source that carries files as resources.
#   cmake -DOUTPUT=out.cpp -DENTRIES="NAME|TYPE|path;..." -P embed_resources.cmake
set(body "")
set(table "")
set(index 0)
foreach(entry IN LISTS ENTRIES)
  string(REPLACE "|" ";" parts "${entry}")
  list(GET parts 0 name)
  list(GET parts 1 type)
  list(GET parts 2 path)
  file(READ "${path}" hex HEX)
  string(LENGTH "${hex}" hexLength)
  math(EXPR size "${hexLength} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){32})" "\\1\n" bytes "${bytes}")
  string(APPEND body "const unsigned char kData${index}[] = {\n${bytes}0};\n")
  string(APPEND table "    {\"${name}\", \"${type}\", kData${index}, ${size}},\n")
  math(EXPR index "${index} + 1")
endforeach()
file(WRITE "${OUTPUT}.tmp" "// Generated at build time from the files under resources/. Do not edit.
#include \"resources/resources.h\"

namespace fennick {
namespace {
${body}
struct Entry {
  const char* name;
  const char* type;
  const unsigned char* data;
  unsigned long size;
};
const Entry kEntries[] = {
${table}    {nullptr, nullptr, nullptr, 0},
};
}  // namespace

std::vector<ResourceEntry> allResources() {
  std::vector<ResourceEntry> out;
  for (const Entry* e = kEntries; e->name; ++e)
    out.push_back({e->name, e->type,
                   std::string_view(reinterpret_cast<const char*>(e->data), e->size)});
  return out;
}

}  // namespace fennick
")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
