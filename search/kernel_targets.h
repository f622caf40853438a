#pragma once

// The instruction sets the trial-division kernel is compiled for. Every file
// that dispatches to the kernel or measures it includes this before any
// Highway header, so that they all agree on the list.
//
// Everything Highway can build for this processor family, its scalar target
// (the plain loop) included, except SSE2 and SSSE3: they have no 32-bit
// vector multiply, and with it emulated the kernel runs slower than the plain
// loop. A processor whose best is one of them runs the plain loop instead.
#define HWY_COMPILE_ALL_ATTAINABLE
#include <hwy/detect_targets.h>

// Highway's target macros expand where they are used, so what is defined here
// is what the dispatch and every later Highway header see.
#undef HWY_DISABLED_TARGETS
#ifdef HWY_SSE2 // Highway 1.1 and later
#define HWY_DISABLED_TARGETS (HWY_SSE2 | HWY_SSSE3)
#else
#define HWY_DISABLED_TARGETS HWY_SSSE3
#endif
