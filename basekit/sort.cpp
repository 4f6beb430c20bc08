// The array sort of the suite: an in-place quicksort that is not stable.  Ranges of more than 8
// elements are split around their middle element, the larger part waits on an explicit stack of
// 30 ranges while the smaller one goes on (so the stack never runs over); ranges of 8 or fewer
// are finished by moving their largest element to their end, repeatedly.
#include "files_int.h"
#include "basekit.h"

#include <stddef.h>

namespace {

void SwapBytes(char *a, char *b, size_t width)
{
    if (a == b) return;
    for (size_t i = 0; i < width; ++i) {
        char t = a[i];
        a[i] = b[i];
        b[i] = t;
    }
}

template <class Compare>
void SortBy(void *array, int count, int size, Compare compare)
{
    if (array == nullptr || count < 2 || size <= 0) return;
    const size_t width = (size_t)size;
    char *loStack[30], *hiStack[30];
    int depth = 0;
    char *lo = static_cast<char *>(array);
    char *hi = lo + width * (size_t)(count - 1);
    for (;;) {
        size_t n = (size_t)(hi - lo) / width + 1;
        if (n <= 8) {
            for (char *end = hi; end > lo; end -= width) {
                char *largest = lo;
                for (char *p = lo + width; p <= end; p += width)
                    if (compare(p, largest) > 0) largest = p;
                SwapBytes(largest, end, width);
            }
        } else {
            SwapBytes(lo + (n / 2) * width, lo, width);   // the pivot waits at the front
            char *up = lo, *down = hi + width;
            for (;;) {
                do up += width; while (up <= hi && compare(up, lo) < 0);
                do down -= width; while (down > lo && compare(down, lo) > 0);
                if (down < up) break;
                SwapBytes(up, down, width);
            }
            SwapBytes(lo, down, width);
            // Now [lo, down) <= pivot == *down <= (down, hi].
            char *lowEnd = down - width, *highStart = down + width;
            bool lowMore = lowEnd > lo, highMore = highStart < hi;
            if ((size_t)(down - lo) >= (size_t)(hi - down)) {
                if (lowMore) { loStack[depth] = lo; hiStack[depth] = lowEnd; ++depth; }
                if (highMore) { lo = highStart; continue; }
            } else {
                if (highMore) { loStack[depth] = highStart; hiStack[depth] = hi; ++depth; }
                if (lowMore) { hi = lowEnd; continue; }
            }
        }
        if (depth == 0) return;
        --depth;
        lo = loStack[depth];
        hi = hiStack[depth];
    }
}

} // namespace

extern "C" void WINAPI Basekit_Sort(void *array, int count, int size, BasekitCompare compare)
{
    if (compare == nullptr) return;
    SortBy(array, count, size, [compare](const void *a, const void *b) { return compare(a, b); });
}

extern "C" void WINAPI Basekit_SortWithContext(void *array, int count, int size,
                                               BasekitCompareContext compare, void *context)
{
    if (compare == nullptr) return;
    SortBy(array, count, size,
           [compare, context](const void *a, const void *b) { return compare(a, b, context); });
}
