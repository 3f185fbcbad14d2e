// Checks on worlds the host hands over, before the effect touches their pixels.
#ifndef HUEWRIGHT_RENDER_WORLD_CHECKS_H
#define HUEWRIGHT_RENDER_WORLD_CHECKS_H

#include <cstdint>

#include "pf_host.h"

// Whether every one of the world's rows, width pixels of bytes_per_pixel
// each, can lie inside its stated buffer: sizes not negative, pixel data
// present when there are pixels, and rows at least as far apart as they are wide.
bool WorldIsSound(const PF_EffectWorld* world, int32_t bytes_per_pixel);

// The rows of extent_hint, 0 when the hint is empty or upside down.
int32_t ExtentRowCount(const PF_EffectWorld& world);

#endif
