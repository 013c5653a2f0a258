// Loops of the pixel rasters built once per vector unit, the widest one the machine has chosen when
// the program starts: without AVX the floors and truncations in them would be calls. The files
// holding them are compiled without trapping floating point, or the loops keep their branches,
// and without fused multiply-adds, which would round differently.
#pragma once

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && !defined(__SANITIZE_ADDRESS__)
#define KORVAN_VECTOR_CLONES __attribute__((target_clones("avx512f", "avx2", "default")))
#else
#define KORVAN_VECTOR_CLONES
#endif
