// What the saver adds to the platform's part of each shape, without any platform call:
// the path step, the keyed stamp onto the screen-sized surface and the bottom-up copy
// of the stamped rectangle that its paint hands to SetDIBitsToDevice.
#include <windows.h>

#include <cstring>
#include <memory>
#include <vector>

#include "app/image_sizes.h"
#include "app/motion.h"
#include "app/settings.h"
#include "bench/win32/loops.h"
#include "render/button_image_creator.h"
#include "render/dib_rows.h"
#include "render/graphics.h"
#include "render/shape_shading.h"

OwnWork MeasureOwnWork(int32_t width, int32_t height, double seconds) {
    SaverSettings s;
    RunState run;
    SetDefaults(s, run);
    MotionPath path;
    path.RecomputeGeometry(width, height);
    const ImageSizes sizes = ComputeImageSizes(s.shape, s.size1, s.size2, path.scale);
    ShapeImageParams params{s.angleX, s.angleY, s.angleZ, 0, 0x00FFFFFF, s.ambient, s.mirror, 0.6f,
                            s.phong, sizes.outerSize, s.shape, sizes.innerSize, 0, 0};
    std::vector<std::unique_ptr<ButtonImageCreator>> images;
    for (int i = 0; i < kShapeSlots; ++i) {
        params.colour = PackColor(s.color[i]);
        images.emplace_back(new ButtonImageCreator(params));
    }
    const int32_t side = images[0]->GetImage().descriptor.width;
    std::unique_ptr<Graphics> surface(createSurface(path.width, path.height, 32, nullptr));
    std::vector<uint32_t> rows;

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
    OwnWork w;
    for (const bool cold : {false, true}) {
        int64_t stampTicks = 0, rowTicks = 0;
        uint64_t shapes = 0;
        const int64_t begin = now();
        do {
            for (const auto& image : images) {
                if (cold) std::memset(evict.data(), static_cast<int>(shapes), evict.size());
                const int64_t t0 = now();
                const StampPosition p = path.NextPosition(side, s.cbStep, s.csStep);
                drawImage(*surface, image->GetImage().descriptor, p.x, p.y, 255);
                const int64_t t1 = now();
                CopyRowsBottomUp(*surface, PixelRect{p.x, p.y, p.x + side, p.y + side}, rows);
                rowTicks += now() - t1;
                stampTicks += t1 - t0;
                ++shapes;
            }
        } while (now() - begin < limit);
        const double perShape = 1e6 / static_cast<double>(f.QuadPart) / static_cast<double>(shapes);
        OwnWorkPart& part = cold ? w.cold : w.warm;
        part.stamp = static_cast<double>(stampTicks) * perShape;
        part.rows = static_cast<double>(rowTicks) * perShape;
        part.total = part.stamp + part.rows;
    }
    return w;
}
