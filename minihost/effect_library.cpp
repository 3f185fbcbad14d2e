#include "effect_library.h"

#include <utility>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace minihost {

namespace {

using AnyFunction = void (*)();

#if defined(_WIN32)
std::string LastErrorText() {
  const DWORD code = GetLastError();
  char text[512] = {};
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                      text, sizeof text, nullptr);
  std::string reason = length > 0 ? std::string(text, length) : std::string("unknown error");
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == ' '))
    reason.pop_back();
  return reason + " (Windows error " + std::to_string(code) + ")";
}

void* OpenLibrary(const std::string& path, std::string* reason) {
  HMODULE module = LoadLibraryA(path.c_str());
  if (!module) *reason = LastErrorText();
  return reinterpret_cast<void*>(module);
}

AnyFunction FindExport(void* handle, const char* name) {
  return reinterpret_cast<AnyFunction>(GetProcAddress(static_cast<HMODULE>(handle), name));
}

void CloseLibrary(void* handle) { FreeLibrary(static_cast<HMODULE>(handle)); }
#else
void* OpenLibrary(const std::string& path, std::string* reason) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* text = dlerror();
    *reason = text ? text : "unknown error";
  }
  return handle;
}

AnyFunction FindExport(void* handle, const char* name) {
  return reinterpret_cast<AnyFunction>(dlsym(handle, name));
}

void CloseLibrary(void* handle) { dlclose(handle); }
#endif

}  // namespace

EffectLibrary EffectLibrary::Load(const std::string& path) {
  if (path.empty()) throw LoadError("cannot load an effect library: no path given");
  std::string reason;
  void* handle = OpenLibrary(path, &reason);
  if (!handle) throw LoadError("cannot load effect library \"" + path + "\": " + reason);
  auto effect_main = reinterpret_cast<PF_EffectMainFunc>(FindExport(handle, "EffectMain"));
  if (!effect_main) {
    CloseLibrary(handle);
    throw LoadError("effect library \"" + path + "\" does not export EffectMain");
  }
  auto plugin_data_entry = reinterpret_cast<PF_PluginDataEntryFunc>(FindExport(handle, "PluginDataEntryFunction"));
  return EffectLibrary(path, handle, effect_main, plugin_data_entry);
}

EffectLibrary::EffectLibrary(std::string path, void* handle, PF_EffectMainFunc effect_main,
                             PF_PluginDataEntryFunc plugin_data_entry)
    : path_(std::move(path)), handle_(handle), effect_main_(effect_main), plugin_data_entry_(plugin_data_entry) {}

EffectLibrary::EffectLibrary(EffectLibrary&& other) noexcept
    : path_(std::move(other.path_)),
      handle_(std::exchange(other.handle_, nullptr)),
      effect_main_(std::exchange(other.effect_main_, nullptr)),
      plugin_data_entry_(std::exchange(other.plugin_data_entry_, nullptr)) {}

EffectLibrary& EffectLibrary::operator=(EffectLibrary&& other) noexcept {
  if (this != &other) {
    Close();
    path_ = std::move(other.path_);
    handle_ = std::exchange(other.handle_, nullptr);
    effect_main_ = std::exchange(other.effect_main_, nullptr);
    plugin_data_entry_ = std::exchange(other.plugin_data_entry_, nullptr);
  }
  return *this;
}

EffectLibrary::~EffectLibrary() { Close(); }

void EffectLibrary::Close() {
  if (handle_) CloseLibrary(handle_);
  handle_ = nullptr;
}

}  // namespace minihost
