// What the effect asked of the host, in order. Every callback and every
// suite acquisition and release is recorded by name with the arguments worth
// checking:
//
//   name                    text          values                                   pointers
//   AcquireSuite            suite name    version, success (1/0)                   -
//   ReleaseSuite            suite name    version, matched an acquisition (1/0)    -
//   sprintf                 result text   length the whole text needs              buffer
//   strcpy                  source text   -                                        dest
//   add_param               param name    index, param_type, id                    def
//   checkout_param          -             index, what_time, time_step, time_scale  param
//   checkin_param           -             param_type, id                           param
//   copy                    -             -                                        src, dst, src_rect, dst_rect
//   checkout_layer          -             index, checkout_id, what_time, time_step, time_scale   request
//   checkout_layer_pixels   -             checkout_id                              place for the world
//   checkin_layer_pixels    -             checkout_id                              -
//   checkout_output         -             -                                        place for the world
//   new_world               -             width, height, flags                     world
//   dispose_world           -             -                                        world
//   PF_NewWorld             -             width, height, clear_pixB, pixel_format  world
//   PF_DisposeWorld         -             -                                        world
//   PF_GetPixelFormat       -             format reported                          world
//   iterate8 / iterate16 / iterateFloat   -   progress_base, progress_final       src, area, refcon, dst
//   ClearSupportedPixelFormats   -        -                                        -
//   AddSupportedPixelFormat -             pixel_format                             -
//   GetPixelFormat          -             format reported                          world
//   abort / progress        -             (progress: current, total)               -
//
// `result` is the code the host returned for the call.
#ifndef HUEWRIGHT_MINIHOST_CALL_LOG_H
#define HUEWRIGHT_MINIHOST_CALL_LOG_H

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "pf_host.h"

namespace minihost {

struct CallRecord {
  std::string name;
  std::string text;
  std::vector<int64_t> values;
  std::vector<const void*> pointers;
  PF_Err result = PF_Err_NONE;
};

// Thread-safe: one iteration may run on several threads.
class CallLog {
 public:
  void Add(CallRecord record);
  void Clear();
  std::vector<CallRecord> All() const;
  // The calls of one name, in order.
  std::vector<CallRecord> Named(const std::string& name) const;
  std::size_t Count(const std::string& name) const;
  // The names of every call, in order.
  std::vector<std::string> Names() const;
  std::size_t Size() const;

 private:
  mutable std::mutex mutex_;
  std::vector<CallRecord> records_;
};

}  // namespace minihost

#endif
