// SPDX-License-Identifier: MIT
// The one place that decides whether the scanning kernels of this folder use
// SSE2 or their plain byte-by-byte twins. The build's QUARVO_SCALAR_SCAN
// option forces the plain twins, so that tests and fuzzing can prove that
// both give the same answers; a target without SSE2 gets them as well.
#pragma once

#if !defined(QUARVO_SCALAR_SCAN) && (defined(__SSE2__) || defined(_M_X64))
#include <emmintrin.h>
#define QUARVO_SCAN_SSE2 1
#endif
