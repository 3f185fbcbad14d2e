#include "jpeg_quality.h"

#include <cstdlib>
#include <fstream>
#include <limits>
#include <vector>

namespace huewright {
namespace {

// The luminance table of the JPEG standard's annex K, in natural order.
constexpr uint16_t kStandardLuma[64] = {
    16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,  14, 13, 16, 24,  40,  57,
    69, 56, 14, 17, 22,  29,  51,  87,  80, 62, 18, 22, 37,  56,  68,  109, 103, 77, 24, 35, 55,  64,
    81, 104, 113, 92, 49, 64, 78,  87,  103, 121, 120, 101, 72, 92, 95,  98,  112, 100, 103, 99};

// The natural position of the k-th coefficient in zigzag order.
constexpr uint8_t kZigzag[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,
                                 12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28,
                                 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
                                 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// libjpeg's jpeg_quality_scaling and jpeg_add_quant_table, baseline (<= 255).
int ScaledEntry(int standard, int quality) {
  const long scale = quality < 50 ? 5000 / quality : 200 - 2 * quality;
  const long entry = (standard * scale + 50) / 100;
  return static_cast<int>(entry < 1 ? 1 : entry > 255 ? 255 : entry);
}

}  // namespace

int QualityOfLumaTable(const std::array<uint16_t, 64>& table) {
  int best = 100;
  long best_distance = std::numeric_limits<long>::max();
  for (int quality = 100; quality >= 1; --quality) {  // ties go to the higher quality
    long distance = 0;
    for (int k = 0; k < 64; ++k) distance += std::labs(table[k] - ScaledEntry(kStandardLuma[kZigzag[k]], quality));
    if (distance < best_distance) best = quality, best_distance = distance;
  }
  return best;
}

std::optional<int> JpegQuality(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  unsigned char head[4];
  if (!file.read(reinterpret_cast<char*>(head), 2) || head[0] != 0xFF || head[1] != 0xD8) return std::nullopt;
  // Segments up to the image data, read one at a time (the metadata before
  // the tables may be large): marker, big-endian length counting itself,
  // contents.
  while (file.read(reinterpret_cast<char*>(head), 4) && head[0] == 0xFF) {
    const unsigned char marker = head[1];
    if (marker == 0xDA || marker == 0xD9) return std::nullopt;  // image data or end: no table came first
    const std::size_t length = static_cast<std::size_t>(head[2]) << 8 | head[3];
    if (length < 2) return std::nullopt;
    if (marker != 0xDB) {
      file.seekg(static_cast<std::streamoff>(length - 2), std::ios::cur);
      continue;
    }
    // DQT: tables, each a precision/id byte then 64 entries of 8 or 16 bits.
    std::vector<unsigned char> tables(length - 2);
    if (!file.read(reinterpret_cast<char*>(tables.data()), static_cast<std::streamsize>(tables.size())))
      return std::nullopt;
    for (std::size_t t = 0; t < tables.size();) {
      const bool wide = (tables[t] >> 4) != 0;
      const std::size_t size = wide ? 128 : 64;
      if (t + 1 + size > tables.size()) return std::nullopt;
      if ((tables[t] & 0x0F) == 0) {
        std::array<uint16_t, 64> table{};
        for (std::size_t k = 0; k < 64; ++k)
          table[k] = wide ? static_cast<uint16_t>(tables[t + 1 + 2 * k] << 8 | tables[t + 2 + 2 * k]) : tables[t + 1 + k];
        return QualityOfLumaTable(table);
      }
      t += 1 + size;
    }
  }
  return std::nullopt;
}

}  // namespace huewright
