// An effect library loaded by path at run time, the way a host loads it.
#ifndef HUEWRIGHT_MINIHOST_EFFECT_LIBRARY_H
#define HUEWRIGHT_MINIHOST_EFFECT_LIBRARY_H

#include <stdexcept>
#include <string>

#include "pf_host.h"

namespace minihost {

// Thrown when a library cannot be loaded or lacks EffectMain; the message
// names the file and the reason.
class LoadError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class EffectLibrary {
 public:
  // dlopen on Linux, LoadLibraryA on Windows. Throws LoadError.
  static EffectLibrary Load(const std::string& path);

  EffectLibrary(EffectLibrary&& other) noexcept;
  EffectLibrary& operator=(EffectLibrary&& other) noexcept;
  EffectLibrary(const EffectLibrary&) = delete;
  EffectLibrary& operator=(const EffectLibrary&) = delete;
  ~EffectLibrary();

  const std::string& Path() const { return path_; }
  PF_EffectMainFunc EffectMain() const { return effect_main_; }
  // Null when the library does not export PluginDataEntryFunction.
  PF_PluginDataEntryFunc PluginDataEntry() const { return plugin_data_entry_; }

 private:
  EffectLibrary(std::string path, void* handle, PF_EffectMainFunc effect_main,
                PF_PluginDataEntryFunc plugin_data_entry);
  void Close();

  std::string path_;
  void* handle_ = nullptr;
  PF_EffectMainFunc effect_main_ = nullptr;
  PF_PluginDataEntryFunc plugin_data_entry_ = nullptr;
};

}  // namespace minihost

#endif
