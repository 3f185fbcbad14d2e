// RowSpreader over the host's multithread suite, or the calling thread
// alone when the host has none (or refuses to start threads).
#ifndef HUEWRIGHT_OFX_HOST_THREADS_H
#define HUEWRIGHT_OFX_HOST_THREADS_H

#include "api/ofx_multithread.h"
#include "render_frame.h"

namespace huewright_ofx {

class HostThreads : public RowSpreader {
 public:
  // suite may be null.
  explicit HostThreads(const OfxMultiThreadSuiteV1* suite) : suite_(suite) {}
  void Run(int32_t rows, const std::function<void(int32_t first, int32_t end)>& body) const override;

 private:
  unsigned ThreadsFor(int32_t rows) const;
  const OfxMultiThreadSuiteV1* suite_;
};

}  // namespace huewright_ofx

#endif
