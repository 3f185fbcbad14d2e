// A plug-in bundle loaded the way OpenFX hosts load one: the binary for
// this system found inside the bundle folder, opened by path at run time,
// its two exports looked up by name.
#ifndef HUEWRIGHT_TESTS_OFX_HOST_PLUGIN_BINARY_H
#define HUEWRIGHT_TESTS_OFX_HOST_PLUGIN_BINARY_H

#include <stdexcept>
#include <string>

#include "api/ofx_core.h"

namespace ofx_host {

// Thrown with the file and the reason when a bundle cannot be loaded.
class LoadError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class PluginBinary {
 public:
  // "Contents/Linux-x86-64" or "Contents/Win64", by the system this runs on.
  static const char* PlatformFolder();
  // bundle/Contents/<platform>/<name>.ofx for bundle .../<name>.ofx.bundle.
  static std::string BinaryPath(const std::string& bundle);

  explicit PluginBinary(const std::string& bundle);
  ~PluginBinary();
  PluginBinary(const PluginBinary&) = delete;
  PluginBinary& operator=(const PluginBinary&) = delete;

  const std::string& Path() const { return path_; }
  int Count() const { return get_count_(); }
  OfxPlugin* Plugin(int nth) const { return get_plugin_(nth); }

 private:
  std::string path_;
  void* handle_ = nullptr;
  OfxGetNumberOfPluginsFunction get_count_ = nullptr;
  OfxGetPluginFunction get_plugin_ = nullptr;
};

}  // namespace ofx_host

#endif
