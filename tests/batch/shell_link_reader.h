// Windows only: what a shell link holds, asked of the shell link object
// itself (IPersistFile::Load, then IShellLinkW's getters), so that a link
// the program wrote is judged by the shell and not by our own writer.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include "core/utf.h"

namespace fennick::test {

struct ReadLink {
  std::string path, arguments, workingFolder;
};

inline std::string narrow(const wchar_t* text) {
  return utf16ToUtf8(std::u16string(reinterpret_cast<const char16_t*>(text)));
}

// Loads the link through IPersistFile and asks IShellLinkW what it holds.
inline ReadLink readShellLink(const std::string& file) {
  ReadLink result;
  EXPECT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  IShellLinkW* link = nullptr;
  IPersistFile* persist = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&link))) &&
      SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
    const std::u16string wide = utf8ToUtf16(file);
    EXPECT_TRUE(
        SUCCEEDED(persist->Load(reinterpret_cast<const wchar_t*>(wide.c_str()), STGM_READ)));
    wchar_t buffer[MAX_PATH * 2] = {};
    EXPECT_TRUE(SUCCEEDED(link->GetPath(buffer, MAX_PATH * 2, nullptr, SLGP_RAWPATH)));
    result.path = narrow(buffer);
    buffer[0] = 0;
    EXPECT_TRUE(SUCCEEDED(link->GetArguments(buffer, MAX_PATH * 2)));
    result.arguments = narrow(buffer);
    buffer[0] = 0;
    EXPECT_TRUE(SUCCEEDED(link->GetWorkingDirectory(buffer, MAX_PATH * 2)));
    result.workingFolder = narrow(buffer);
  } else {
    ADD_FAILURE() << "no shell link object";
  }
  if (persist) persist->Release();
  if (link) link->Release();
  CoUninitialize();
  return result;
}

}  // namespace fennick::test
