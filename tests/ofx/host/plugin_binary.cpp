#include "plugin_binary.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace ofx_host {

namespace {

#if defined(_WIN32)
void* Open(const std::string& path, std::string& error) {
  HMODULE module = LoadLibraryA(path.c_str());
  if (!module) error = "LoadLibrary error " + std::to_string(GetLastError());
  return reinterpret_cast<void*>(module);
}
void* Symbol(void* handle, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}
void Close(void* handle) { FreeLibrary(static_cast<HMODULE>(handle)); }
constexpr char kSeparator = '\\';
#else
void* Open(const std::string& path, std::string& error) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) error = dlerror();
  return handle;
}
void* Symbol(void* handle, const char* name) { return dlsym(handle, name); }
void Close(void* handle) { dlclose(handle); }
constexpr char kSeparator = '/';
#endif

std::string WithoutTrailingSeparators(std::string path) {
  while (path.size() > 1 && (path.back() == '/' || path.back() == '\\')) path.pop_back();
  return path;
}

}  // namespace

const char* PluginBinary::PlatformFolder() {
#if defined(_WIN32)
  return "Win64";
#else
  return "Linux-x86-64";
#endif
}

std::string PluginBinary::BinaryPath(const std::string& bundle) {
  const std::string folder = WithoutTrailingSeparators(bundle);
  const std::size_t slash = folder.find_last_of("/\\");
  std::string name = slash == std::string::npos ? folder : folder.substr(slash + 1);
  const std::string suffix = ".ofx.bundle";
  if (name.size() <= suffix.size() || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
    throw LoadError(bundle + ": not a folder named NAME.ofx.bundle");
  name.resize(name.size() - suffix.size());
  return folder + kSeparator + "Contents" + kSeparator + PlatformFolder() + kSeparator + name + ".ofx";
}

PluginBinary::PluginBinary(const std::string& bundle) : path_(BinaryPath(bundle)) {
  std::string error;
  handle_ = Open(path_, error);
  if (!handle_) throw LoadError(path_ + ": cannot load: " + error);
  get_count_ = reinterpret_cast<OfxGetNumberOfPluginsFunction>(Symbol(handle_, kOfxGetNumberOfPluginsSymbol));
  get_plugin_ = reinterpret_cast<OfxGetPluginFunction>(Symbol(handle_, kOfxGetPluginSymbol));
  if (!get_count_ || !get_plugin_) {
    Close(handle_);
    throw LoadError(path_ + ": does not export OfxGetNumberOfPlugins and OfxGetPlugin");
  }
}

PluginBinary::~PluginBinary() { Close(handle_); }

}  // namespace ofx_host
