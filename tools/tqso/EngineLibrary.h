// The engine shared library, loaded as a host agent loads it (dlopen) and called by its exported names.
#pragma once

#include <string>

#include "SnapInfo.h"
#include "TQOSUtil.h"
#include "TQSOTypes.h"

namespace tqso {

class EngineLibrary {
 public:
  typedef TQSO::ResultCode (*ListCall)(TQSO::SnapInfo**, short, TQSO::TQOSUtil*);

  EngineLibrary() = default;
  ~EngineLibrary();
  EngineLibrary(const EngineLibrary&) = delete;
  EngineLibrary& operator=(const EngineLibrary&) = delete;

  // The path given, else $TQSO_ENGINE, else the library installed beside this program (../lib), else the one
  // built with it. A library that lacks any of the engine's calls tqso makes is refused, the missing ones named.
  bool Load(const std::string& path, std::string& error);
  // The exported list call of a job-file call name ("prepare", "snap", ...); null when there is none.
  ListCall Find(const std::string& call) const;
  static std::string ExportedName(const std::string& call);
  // Any exported symbol; null when absent.
  void* Symbol(const std::string& name) const;
  // The file the engine was loaded from, links resolved; empty when it cannot be told.
  std::string File() const;

 private:
  // The engine's calls tqso makes that the loaded library does not export, joined by ", ".
  std::string MissingExports() const;

  void* handle_ = nullptr;
};

}  // namespace tqso
