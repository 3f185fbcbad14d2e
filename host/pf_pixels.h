// Pixel structs and pixel format codes of the host interface. Pixel formats
// are 32-bit values whose bytes in memory, lowest address first, spell the code.
#ifndef HUEWRIGHT_HOST_PF_PIXELS_H
#define HUEWRIGHT_HOST_PF_PIXELS_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct PF_Pixel {
  uint8_t alpha, red, green, blue;
} PF_Pixel;
typedef PF_Pixel PF_Pixel8;

typedef struct PF_Pixel16 {
  uint16_t alpha, red, green, blue;
} PF_Pixel16;

typedef struct PF_PixelFloat {
  float alpha, red, green, blue;
} PF_PixelFloat;
typedef PF_PixelFloat PF_Pixel32;

typedef struct PF_Pixel_BGRA_8u {
  uint8_t blue, green, red, alpha;
} PF_Pixel_BGRA_8u;

typedef struct PF_Pixel_BGRA_32f {
  float blue, green, red, alpha;
} PF_Pixel_BGRA_32f;

typedef struct PF_Pixel_VUYA_32f {
  float v, u, y, alpha;
} PF_Pixel_VUYA_32f;

typedef int32_t PF_PixelFormat;
typedef uint32_t PrPixelFormat;

#define PF_MEMORY_CHAR_CODE(a, b, c, d) \
  ((uint32_t)(a) | ((uint32_t)(b) << 8) | ((uint32_t)(c) << 16) | ((uint32_t)(d) << 24))

enum {
  PF_PixelFormat_ARGB32 = (int32_t)PF_MEMORY_CHAR_CODE('a', 'r', 'g', 'b'),   // 0x62677261
  PF_PixelFormat_ARGB64 = (int32_t)PF_MEMORY_CHAR_CODE('a', 'e', '1', '6'),   // 0x36316561
  PF_PixelFormat_ARGB128 = (int32_t)PF_MEMORY_CHAR_CODE('a', 'e', '3', '2'),  // 0x32336561
  PF_PixelFormat_INVALID = (int32_t)PF_MEMORY_CHAR_CODE('b', 'a', 'd', 'f')   // 0x66646162
};

#define PrPixelFormat_BGRA_4444_8u PF_MEMORY_CHAR_CODE('b', 'g', 'r', 'a')   /* 0x61726762 */
#define PrPixelFormat_VUYA_4444_8u PF_MEMORY_CHAR_CODE('v', 'u', 'y', 'a')   /* 0x61797576 */
#define PrPixelFormat_BGRA_4444_32f PF_MEMORY_CHAR_CODE('B', 'G', 'r', 'a')  /* 0x61724742 */
#define PrPixelFormat_VUYA_4444_32f PF_MEMORY_CHAR_CODE('V', 'U', 'y', 'a')  /* 0x61795556 */

#ifdef __cplusplus
}
#endif

#endif
