// The whole host interface in one include.
#ifndef HUEWRIGHT_HOST_PF_HOST_H
#define HUEWRIGHT_HOST_PF_HOST_H
#include "pf_basic.h"
#include "pf_pixels.h"
#include "pf_records.h"
#include "pf_suites.h"
#endif
