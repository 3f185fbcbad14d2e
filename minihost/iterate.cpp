// The iteration suites: one pixel function call per pixel of the area, with
// the source and destination pixels at the same position, never outside
// either world; rows optionally split over several threads, whole or cut
// into pieces.
#include <algorithm>
#include <condition_variable>
#include <functional>
#include <mutex>
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

// part(0) .. part(workers - 1) at once: on the host's pool when it is free,
// on threads of this call's own when the pool is already iterating.
void RunParts(HostState& host, int threads, int workers, const std::function<void(int)>& part) {
  if (host.IterationPool(threads - 1)->Run(workers, part)) return;
  std::vector<std::thread> own;
  for (int worker = 1; worker < workers; ++worker) own.emplace_back(part, worker);
  part(0);
  for (std::thread& thread : own) thread.join();
}

PF_Err FirstError(const std::vector<PF_Err>& results) {
  for (PF_Err err : results)
    if (err) return err;
  return PF_Err_NONE;
}

// Rows split into equal parts, one per thread.
template <class Pixel, class PixelFunc>
PF_Err VisitWholeRows(HostState& host, const PF_EffectWorld* src, const PF_EffectWorld& dst, Span span, void* refcon,
                      PixelFunc pix_fn) {
  const A_long rows = span.bottom - span.top;
  const int threads = std::max(host.options.iterate_threads, 1);
  const int workers = static_cast<int>(std::min<A_long>(threads, std::max<A_long>(rows, 1)));
  if (workers <= 1) return VisitRows<Pixel>(src, dst, span, refcon, pix_fn);
  std::vector<PF_Err> results(static_cast<std::size_t>(workers), PF_Err_NONE);
  RunParts(host, threads, workers, [&](int worker) {
    Span rows_of_part = span;
    rows_of_part.top = span.top + static_cast<A_long>(static_cast<int64_t>(rows) * worker / workers);
    rows_of_part.bottom = span.top + static_cast<A_long>(static_cast<int64_t>(rows) * (worker + 1) / workers);
    results[static_cast<std::size_t>(worker)] = VisitRows<Pixel>(src, dst, rows_of_part, refcon, pix_fn);
  });
  return FirstError(results);
}

// Which rows each piece has finished, so that piece k of a row starts only
// after piece k - 1 of that row has returned, on another thread. The lock
// orders the two: a host that splits a row but never runs its pieces at the
// same time gives the effect no race. (Pieces of one row running at once
// would race on whatever the effect keeps per row; that is the fault the
// effect checks for after a pass, shown without a race by PieceLoss.)
class RowHandOff {
 public:
  explicit RowHandOff(int pieces) : finished_(static_cast<std::size_t>(pieces), 0) {}

  // Waits until piece - 1 has finished row index row (0 = the span's top);
  // false when the pass stopped meanwhile.
  bool WaitForTurn(int piece, A_long row) {
    std::unique_lock lock(mutex_);
    if (piece > 0)
      advanced_.wait(lock, [&] { return stopped_ || finished_[static_cast<std::size_t>(piece - 1)] > row; });
    return !stopped_;
  }
  void Finished(int piece) {
    {
      std::lock_guard lock(mutex_);
      ++finished_[static_cast<std::size_t>(piece)];
    }
    advanced_.notify_all();
  }
  // A piece failed: the pieces waiting for it give up.
  void Stop() {
    {
      std::lock_guard lock(mutex_);
      stopped_ = true;
    }
    advanced_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable advanced_;
  std::vector<A_long> finished_;  // rows finished, per piece
  bool stopped_ = false;
};

// Every row cut into one column range per thread, range k on thread k; the
// threads move down the rows one behind the other. lose_piece_starts leaves
// out each later piece's first pixel (PieceLoss).
template <class Pixel, class PixelFunc>
PF_Err VisitRowPieces(HostState& host, const PF_EffectWorld* src, const PF_EffectWorld& dst, Span span, void* refcon,
                      PixelFunc pix_fn, bool lose_piece_starts) {
  const A_long width = span.right - span.left;
  const int threads = std::max(host.options.iterate_threads, 1);
  const int pieces = static_cast<int>(std::min<A_long>(threads, std::max<A_long>(width, 1)));
  if (pieces <= 1 || span.bottom <= span.top) return VisitWholeRows<Pixel>(host, src, dst, span, refcon, pix_fn);
  std::vector<PF_Err> results(static_cast<std::size_t>(pieces), PF_Err_NONE);
  RowHandOff hand_off(pieces);
  RunParts(host, threads, pieces, [&](int piece) {
    Span part;
    part.left = span.left + static_cast<A_long>(static_cast<int64_t>(width) * piece / pieces);
    part.right = span.left + static_cast<A_long>(static_cast<int64_t>(width) * (piece + 1) / pieces);
    if (lose_piece_starts && piece > 0 && part.left < part.right) ++part.left;
    for (A_long y = span.top; y < span.bottom; ++y) {
      if (!hand_off.WaitForTurn(piece, y - span.top)) return;
      part.top = y;
      part.bottom = y + 1;
      if (const PF_Err err = VisitRows<Pixel>(src, dst, part, refcon, pix_fn)) {
        results[static_cast<std::size_t>(piece)] = err;
        hand_off.Stop();
        return;
      }
      hand_off.Finished(piece);
    }
  });
  return FirstError(results);
}

template <class Pixel, class PixelFunc>
PF_Err VisitSpan(HostState& host, const PF_EffectWorld* src, const PF_EffectWorld& dst, Span span, void* refcon,
                 PixelFunc pix_fn, bool lose_piece_starts) {
  if (host.options.iterate_split == IterationSplit::kRowPieces)
    return VisitRowPieces<Pixel>(host, src, dst, span, refcon, pix_fn, lose_piece_starts);
  return VisitWholeRows<Pixel>(host, src, dst, span, refcon, pix_fn);
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
    const bool lose_piece_starts = host->TakePieceLoss(name);
    return VisitSpan<Pixel>(*host, from ? from->Record() : nullptr, *to->Record(), span, refcon, pix_fn,
                            lose_piece_starts);
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
