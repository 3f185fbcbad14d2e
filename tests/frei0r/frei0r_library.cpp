#include "frei0r_library.h"

#include <dlfcn.h>

#include <cstdlib>
#include <stdexcept>
#include <string>

namespace frei0r_test {

namespace {

template <class Function>
void Resolve(void* handle, const std::string& path, const char* name, Function& function) {
  void* symbol = dlsym(handle, name);
  if (!symbol) throw std::runtime_error(path + ": no symbol " + name);
  function = reinterpret_cast<Function>(symbol);
}

Frei0rLibrary Load() {
  const char* variable = std::getenv("HUEWRIGHT_FREI0R");
  if (!variable || !*variable) throw std::runtime_error("HUEWRIGHT_FREI0R is not set: it must name the filter");
  const std::string path = variable;
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) throw std::runtime_error(path + ": " + dlerror());
  Frei0rLibrary library{};
  Resolve(handle, path, "f0r_init", library.init);
  Resolve(handle, path, "f0r_deinit", library.deinit);
  Resolve(handle, path, "f0r_get_plugin_info", library.get_plugin_info);
  Resolve(handle, path, "f0r_get_param_info", library.get_param_info);
  Resolve(handle, path, "f0r_construct", library.construct);
  Resolve(handle, path, "f0r_destruct", library.destruct);
  Resolve(handle, path, "f0r_set_param_value", library.set_param_value);
  Resolve(handle, path, "f0r_get_param_value", library.get_param_value);
  Resolve(handle, path, "f0r_update", library.update);
  return library;
}

}  // namespace

const Frei0rLibrary& Filter() {
  static const Frei0rLibrary library = Load();
  return library;
}

}  // namespace frei0r_test
