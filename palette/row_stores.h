// How the row kernels write the copies they make. A frame larger than the
// caches would push out everything else on its way to memory, and each
// cached store first reads the line it fills: such frames are copied with
// streaming stores, which write whole lines straight to memory, as the C
// library's memcpy does for copies this size. The walk that asked for them
// fences once at its end (StoreFence), so that whoever reads the frame next
// sees every byte.
#ifndef HUEWRIGHT_PALETTE_ROW_STORES_H
#define HUEWRIGHT_PALETTE_ROW_STORES_H

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

enum class RowCopy { kNone, kCached, kStreamed };

// Frames (one buffer of them) from this size on are copied with streaming
// stores: larger than what a shared cache keeps for one core.
inline constexpr std::size_t kStreamedFrameBytes = std::size_t{16} << 20;

// Streaming stores pay off only when they fill whole cache lines in one go
// (a line filled in parts, by stores apart, goes to memory in parts: many
// times slower): copies to addresses not on a line start are cached.
inline constexpr std::uintptr_t kStreamAlignment = 64;
inline bool StreamsTo(const void* address) { return reinterpret_cast<std::uintptr_t>(address) % kStreamAlignment == 0; }

// Whether a copy from front to back would stall its own reads: the
// processor holds a load back behind an older store whose address matches
// it in the low 12 bits, so a destination just above the source (modulo
// 4096, closer than the stores in flight) makes every load wait. Such
// copies run back to front, or after the reading, not interleaved with it.
inline bool LoadsWaitOnCopy(const void* from, const void* to) {
  const std::uintptr_t apart = (reinterpret_cast<std::uintptr_t>(to) - reinterpret_cast<std::uintptr_t>(from)) & 4095;
  return apart != 0 && apart <= 1024;
}

// Orders every streaming store before the stores that follow (the one that
// hands the frame over, say).
inline void StoreFence() {
#if defined(__SSE2__)
  _mm_sfence();
#endif
}

namespace row_stores {

// 16 bytes from v to p (16-byte aligned when streamed).
template <RowCopy kCopy>
[[gnu::always_inline]] inline void Store16(unsigned char* p, const void* v) {
#if defined(__SSE2__)
  if constexpr (kCopy == RowCopy::kStreamed) {
    __m128i value;
    std::memcpy(&value, v, sizeof value);
    _mm_stream_si128(reinterpret_cast<__m128i*>(p), value);
    return;
  }
#endif
  std::memcpy(p, v, 16);
}

}  // namespace row_stores

#endif
