#include "world_checks.h"

#include <cstdlib>

bool WorldIsSound(const PF_EffectWorld* world, int32_t bytes_per_pixel) {
  if (!world || world->width < 0 || world->height < 0) return false;
  if (world->width == 0 || world->height == 0) return true;
  if (!world->data) return false;
  const int64_t row_span = std::llabs(static_cast<int64_t>(world->rowbytes));
  return row_span >= static_cast<int64_t>(world->width) * bytes_per_pixel;
}

int32_t ExtentRowCount(const PF_EffectWorld& world) {
  // The difference of two 32-bit values may not fit in 32 bits.
  const int64_t rows = static_cast<int64_t>(world.extent_hint.bottom) - world.extent_hint.top;
  if (rows <= 0) return 0;
  return rows > INT32_MAX ? INT32_MAX : static_cast<int32_t>(rows);
}
