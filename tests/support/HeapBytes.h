// The bytes the process holds on its heap right now: what a test of a flood measures.
// Under the address sanitizer its allocator counts them (freed blocks held back for
// checking are not counted); otherwise the C library's does. Header only.
#pragma once

#include <cstddef>

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer runtime's count (its header does not come with every compiler).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

inline size_t HeapBytesInUse()
{
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
#endif
}
