#include "bench/win32/own_work.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "bench/win32/pixel_work.h"

OwnWork MeasureOwnWork(int32_t width, int32_t height, double seconds) {
    PixelWork work(width, height);
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    const int64_t limit = static_cast<int64_t>(seconds * static_cast<double>(f.QuadPart));
    auto now = [] {
        LARGE_INTEGER t;
        QueryPerformanceCounter(&t);
        return t.QuadPart;
    };
    // In the real loop the platform's work between two shapes (its own copies, the X
    // server's) pushes our pixels out of the processor's caches; the cold runs do the
    // same by writing a block larger than the second-level cache before each shape.
    std::vector<uint8_t> evict(8u << 20);
    // Pure processor work, which other programs on the machine can only slow down: of
    // short chunks, the fastest tells the cost.
    const int64_t chunk = f.QuadPart / 20;
    OwnWork w;
    for (const bool cold : {false, true}) {
        OwnWorkPart& best = cold ? w.cold : w.warm;
        const int64_t begin = now();
        do {
            int64_t stampTicks = 0, rowTicks = 0;
            uint64_t shapes = 0;
            const int64_t chunkBegin = now();
            do {
                if (cold) std::memset(evict.data(), static_cast<int>(shapes), evict.size());
                const int64_t t0 = now();
                const RECT r = work.StampNext();
                const int64_t t1 = now();
                work.CopyRows(r);
                rowTicks += now() - t1;
                stampTicks += t1 - t0;
                ++shapes;
            } while (now() - chunkBegin < chunk);
            const double perShape = 1e6 / static_cast<double>(f.QuadPart) / static_cast<double>(shapes);
            OwnWorkPart part;
            part.stamp = static_cast<double>(stampTicks) * perShape;
            part.rows = static_cast<double>(rowTicks) * perShape;
            part.total = part.stamp + part.rows;
            if (best.total == 0 || part.total < best.total) best = part;
        } while (now() - begin < limit);
    }
    return w;
}
