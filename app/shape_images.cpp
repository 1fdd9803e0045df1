#include "app/shape_images.h"

#include <new>
#include <utility>

#include "app/image_sizes.h"
#include "render/shape_shading.h"

void DeleteShapeImages(ShapeImages& images) {
    for (ButtonImageCreator*& image : images) {
        delete image;
        image = nullptr;
    }
}

void RebuildShapeImages(const SaverSettings& s, double scale, ShapeImages& images, RunState& run) {
    // The new images take over the old ones' pixel block: no fresh memory to touch.
    PixelBlock recycled = images[0] != nullptr ? images[0]->GetImage().block : PixelBlock{};
    DeleteShapeImages(images);
    const ImageSizes sizes = ComputeImageSizes(s.shape, s.size1, s.size2, scale);
    if (sizes.drawable) {
        const ShapeImageParams params{s.angleX, s.angleY, s.angleZ, 0, 0x00FFFFFF, s.ambient, s.mirror, 0.6f,
                                      s.phong, sizes.outerSize, s.shape, sizes.innerSize, 0, 0};
        const int32_t side = static_cast<int32_t>(ShapeImageSide(sizes.outerSize));
        try {
            // The seven images differ only in colour: shade once, colour all seven in one pass.
            ShapeShading shading;
            ComputeShading(params, side, side, shading);
            uint32_t colours[kShapeSlots];
            for (int i = 0; i < kShapeSlots; ++i) colours[i] = PackColor(s.color[i]);
            auto built = ButtonImageCreator::CreateColoured(params, shading, colours, kShapeSlots, std::move(recycled));
            for (int i = 0; i < kShapeSlots; ++i) images[i] = built[static_cast<size_t>(i)].release();
        } catch (const std::bad_alloc&) {
            DeleteShapeImages(images);
        }
    }
    run.rebuildImages = 0;
}
