// The iteration suites: one pixel function call per pixel of the area, with
// the source and destination pixels at the same position, never outside
// either world; rows optionally split over several threads.
#include <algorithm>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

#include "host_state.h"

namespace minihost {

namespace {

struct Span {
  A_long top = 0, bottom = 0, left = 0, right = 0;
};

template <class Pixel>
Pixel* RowOf(const PF_EffectWorld& world, A_long y) {
  return reinterpret_cast<Pixel*>(static_cast<uint8_t*>(world.data) + static_cast<std::ptrdiff_t>(y) * world.rowbytes);
}

// Each row's addresses are found once, from the records as the iteration
// began: the pixel function's call could otherwise make the compiler read
// them again for every pixel.
template <class Pixel, class PixelFunc>
PF_Err VisitRows(const PF_EffectWorld* src, const PF_EffectWorld& dst, Span span, void* refcon, PixelFunc pix_fn) {
  const PF_EffectWorld dst_record = dst;
  const std::optional<PF_EffectWorld> src_record = src ? std::optional(*src) : std::nullopt;
  for (A_long y = span.top; y < span.bottom; ++y) {
    Pixel* const in_row = src_record ? RowOf<Pixel>(*src_record, y) : nullptr;
    Pixel* const out_row = RowOf<Pixel>(dst_record, y);
    for (A_long x = span.left; x < span.right; ++x)
      if (const PF_Err err = pix_fn(refcon, x, y, in_row ? in_row + x : nullptr, out_row + x)) return err;
  }
  return PF_Err_NONE;
}

// Rows split into equal parts, one per thread: the host's pool when it is
// free, threads of this call's own when the pool is already iterating.
template <class Pixel, class PixelFunc>
PF_Err VisitSpan(HostState& host, const PF_EffectWorld* src, const PF_EffectWorld& dst, Span span, void* refcon,
                 PixelFunc pix_fn) {
  const A_long rows = span.bottom - span.top;
  const int threads = std::max(host.options.iterate_threads, 1);
  const int workers = static_cast<int>(std::min<A_long>(threads, std::max<A_long>(rows, 1)));
  if (workers <= 1) return VisitRows<Pixel>(src, dst, span, refcon, pix_fn);
  std::vector<PF_Err> results(static_cast<std::size_t>(workers), PF_Err_NONE);
  const std::function<void(int)> part = [&](int worker) {
    Span rows_of_part = span;
    rows_of_part.top = span.top + static_cast<A_long>(static_cast<int64_t>(rows) * worker / workers);
    rows_of_part.bottom = span.top + static_cast<A_long>(static_cast<int64_t>(rows) * (worker + 1) / workers);
    results[static_cast<std::size_t>(worker)] = VisitRows<Pixel>(src, dst, rows_of_part, refcon, pix_fn);
  };
  if (!host.IterationPool(threads - 1)->Run(workers, part)) {
    std::vector<std::thread> threads;
    for (int worker = 1; worker < workers; ++worker) threads.emplace_back(part, worker);
    part(0);
    for (std::thread& thread : threads) thread.join();
  }
  for (PF_Err err : results)
    if (err) return err;
  return PF_Err_NONE;
}

// The area (whole destination when null) clipped to both worlds.
Span ClipArea(const PF_Rect* area, const World& dst, const World* src) {
  PF_LRect rect = area ? *area : PF_LRect{0, 0, dst.Width(), dst.Height()};
  A_long width = dst.Width(), height = dst.Height();
  if (src) {
    width = std::min(width, src->Width());
    height = std::min(height, src->Height());
  }
  Span span{std::max(rect.top, A_long{0}), std::min(rect.bottom, height), std::max(rect.left, A_long{0}),
            std::min(rect.right, width)};
  if (span.bottom < span.top || span.right <= span.left) span.bottom = span.top;
  return span;
}

template <class Pixel, class PixelFunc>
PF_Err Iterate(const char* name, PF_InData* in_data, A_long progress_base, A_long progress_final,
               PF_EffectWorld* src, const PF_Rect* area, void* refcon, PixelFunc pix_fn, PF_EffectWorld* dst) {
  HostState* host = in_data ? HostFromRef(in_data->effect_ref, name) : HostForContextFreeCall(name);
  if (!host) return PF_Err_BAD_CALLBACK_PARAM;
  CallRecord record{name, "", {progress_base, progress_final}, {src, area, refcon, dst}, PF_Err_NONE};
  return host->Run(std::move(record), [&](CallRecord&) -> PF_Err {
    World* to = host->FindWorld(dst);
    World* from = src ? host->FindWorld(src) : nullptr;
    if (!to || !pix_fn || (src && !from)) {
      host->Error(std::string(name) + " over a world the host does not know, or without a pixel function");
      return PF_Err_BAD_CALLBACK_PARAM;
    }
    if (PixelBytes(to->Layout()) != sizeof(Pixel) || (from && PixelBytes(from->Layout()) != sizeof(Pixel))) {
      host->Error(std::string(name) + " over a " + LayoutName((from ? from : to)->Layout()) + " -> " +
                  LayoutName(to->Layout()) + " pair of worlds of another depth");
      return PF_Err_BAD_CALLBACK_PARAM;
    }
    const Span span = ClipArea(area, *to, from);
    return VisitSpan<Pixel>(*host, from ? from->Record() : nullptr, *to->Record(), span, refcon, pix_fn);
  });
}

PF_Err Iterate8(PF_InData* in_data, A_long progress_base, A_long progress_final, PF_EffectWorld* src,
                const PF_Rect* area, void* refcon, PF_Pixel8IterateFunc pix_fn, PF_EffectWorld* dst) {
  return Iterate<PF_Pixel8>("iterate8", in_data, progress_base, progress_final, src, area, refcon, pix_fn, dst);
}

PF_Err Iterate16(PF_InData* in_data, A_long progress_base, A_long progress_final, PF_EffectWorld* src,
                 const PF_Rect* area, void* refcon, PF_Pixel16IterateFunc pix_fn, PF_EffectWorld* dst) {
  return Iterate<PF_Pixel16>("iterate16", in_data, progress_base, progress_final, src, area, refcon, pix_fn, dst);
}

PF_Err IterateFloat(PF_InData* in_data, A_long progress_base, A_long progress_final, PF_EffectWorld* src,
                    const PF_Rect* area, void* refcon, PF_PixelFloatIterateFunc pix_fn, PF_EffectWorld* dst) {
  return Iterate<PF_PixelFloat>("iterateFloat", in_data, progress_base, progress_final, src, area, refcon, pix_fn,
                                dst);
}

const PF_Iterate8Suite1 kIterate8Suite = {Iterate8};
const PF_iterate16Suite1 kIterate16Suite = {Iterate16};
const PF_iterateFloatSuite1 kIterateFloatSuite = {IterateFloat};

}  // namespace

const void* Iterate8SuiteTable() { return &kIterate8Suite; }
const void* Iterate16SuiteTable() { return &kIterate16Suite; }
const void* IterateFloatSuiteTable() { return &kIterateFloatSuite; }

}  // namespace minihost
