#pragma once

// Marks a function compiled twice, for AVX2 and for the x86-64 baseline, the
// better chosen when the program starts: the same operations either way, so
// the same bits. Off where the build asks for no clones (their resolvers run
// before a thread sanitizer's runtime is ready).
#if defined(__x86_64__) && defined(__GNUC__) && !defined(TELLURIM_NO_TARGET_CLONES)
#define TELLURIM_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define TELLURIM_VECTOR_CLONES
#endif
