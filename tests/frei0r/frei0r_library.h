// The frei0r filter loaded by path, as ffmpeg, MLT and GStreamer load it: the
// file named by HUEWRIGHT_FREI0R, every entry point looked up by name.
#ifndef HUEWRIGHT_TESTS_FREI0R_FREI0R_LIBRARY_H
#define HUEWRIGHT_TESTS_FREI0R_FREI0R_LIBRARY_H

#include <cstdint>

extern "C" {
#include <frei0r.h>
}

namespace frei0r_test {

struct Frei0rLibrary {
  int (*init)();
  void (*deinit)();
  void (*get_plugin_info)(f0r_plugin_info_t*);
  void (*get_param_info)(f0r_param_info_t*, int);
  f0r_instance_t (*construct)(unsigned, unsigned);
  void (*destruct)(f0r_instance_t);
  void (*set_param_value)(f0r_instance_t, f0r_param_t, int);
  void (*get_param_value)(f0r_instance_t, f0r_param_t, int);
  void (*update)(f0r_instance_t, double, const uint32_t*, uint32_t*);
};

// Loaded once per process; throws std::runtime_error naming the variable,
// the file and the missing symbol.
const Frei0rLibrary& Filter();

}  // namespace frei0r_test

#endif
