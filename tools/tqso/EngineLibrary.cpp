#include "EngineLibrary.h"

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <vector>

#include "Job.h"

namespace tqso {

namespace {

// The engine installed beside this program (bin/ and lib/ under one prefix) when there is one, else the one
// built with it.
std::string DefaultEngine() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) {
    const std::filesystem::path installed = program.parent_path() / TQSO_INSTALLED_ENGINE;
    if (std::filesystem::exists(installed, error)) return installed.string();
  }
  return TQSO_DEFAULT_ENGINE;
}

}  // namespace

EngineLibrary::~EngineLibrary() {
  if (handle_ != nullptr) dlclose(handle_);
}

bool EngineLibrary::Load(const std::string& path, std::string& error) {
  std::string file = path;
  const char* fromEnvironment = std::getenv("TQSO_ENGINE");
  if (file.empty() && fromEnvironment != nullptr) file = fromEnvironment;
  if (file.empty()) file = DefaultEngine();
  handle_ = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) {
    const char* reason = dlerror();
    error = "the engine library " + file + " cannot be loaded: " + (reason != nullptr ? reason : "unknown reason");
    return false;
  }
  const std::string missing = MissingExports();
  if (missing.empty()) return true;
  error = file + " is not the engine library: it does not export " + missing;
  dlclose(handle_);
  handle_ = nullptr;
  return false;
}

std::string EngineLibrary::MissingExports() const {
  std::vector<std::string> required = {"tqso_version", "tqso_isSupported", "tqso_processVPDInfo"};
  for (const std::string& call : KnownCalls()) required.push_back(ExportedName(call));
  std::string missing;
  for (const std::string& name : required)
    if (Symbol(name) == nullptr) missing += (missing.empty() ? "" : ", ") + name;
  return missing;
}

std::string EngineLibrary::ExportedName(const std::string& call) {
  static const std::map<std::string, std::string> names = {
      {"prepare", "tqso_prepareDevices"}, {"unprepare", "tqso_unprepareDevices"}, {"snap", "tqso_snapDevices"},
      {"map", "tqso_mapSnaps"},           {"unmap", "tqso_unmapSnaps"},           {"delete", "tqso_deleteSnaps"},
      {"revert", "tqso_revertSnaps"},     {"reconcile", "tqso_reconcileSnaps"},   {"isMapped", "tqso_isMapped"},
  };
  const auto found = names.find(call);
  return found == names.end() ? std::string() : found->second;
}

EngineLibrary::ListCall EngineLibrary::Find(const std::string& call) const {
  const std::string name = ExportedName(call);
  if (handle_ == nullptr || name.empty()) return nullptr;
  return reinterpret_cast<ListCall>(dlsym(handle_, name.c_str()));
}

}  // namespace tqso

namespace tqso {

void* EngineLibrary::Symbol(const std::string& name) const {
  return handle_ == nullptr ? nullptr : dlsym(handle_, name.c_str());
}

std::string EngineLibrary::File() const {
  Dl_info info{};
  void* version = Symbol("tqso_version");
  if (version == nullptr || dladdr(version, &info) == 0 || info.dli_fname == nullptr) return std::string();
  std::error_code error;
  const std::filesystem::path file = std::filesystem::weakly_canonical(info.dli_fname, error);
  return error ? std::string(info.dli_fname) : file.string();
}

}  // namespace tqso
