// minihost: a simulated After Effects / Premiere Pro host for effect libraries.
#ifndef HUEWRIGHT_MINIHOST_MINIHOST_H
#define HUEWRIGHT_MINIHOST_MINIHOST_H

#include "call_log.h"
#include "effect_library.h"
#include "faults.h"
#include "host.h"
#include "pixel_packing.h"
#include "registration.h"
#include "world.h"

#endif
