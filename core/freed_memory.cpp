#include "core/freed_memory.h"

#include <cstdlib> // defines __GLIBC__ where the GNU C library is used

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void returnFreedMemory()
{
#if defined(__GLIBC__)
    // The GNU allocator keeps freed small blocks in its heap; this releases the whole pages
    // among them.
    malloc_trim(0);
#endif
}
