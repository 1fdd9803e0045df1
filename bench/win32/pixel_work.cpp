#include "bench/win32/pixel_work.h"

#include "app/image_sizes.h"
#include "app/settings.h"
#include "render/dib_rows.h"
#include "render/shape_shading.h"

PixelWork::PixelWork(int32_t width, int32_t height) {
    SaverSettings s;
    RunState run;
    SetDefaults(s, run);
    cbStep_ = s.cbStep;
    csStep_ = s.csStep;
    path_.RecomputeGeometry(width, height);
    const ImageSizes sizes = ComputeImageSizes(s.shape, s.size1, s.size2, path_.scale);
    ShapeImageParams params{s.angleX, s.angleY, s.angleZ, 0, 0x00FFFFFF, s.ambient, s.mirror, 0.6f,
                            s.phong, sizes.outerSize, s.shape, sizes.innerSize, 0, 0};
    for (int i = 0; i < kShapeSlots; ++i) {
        params.colour = PackColor(s.color[i]);
        images_.emplace_back(new ButtonImageCreator(params));
    }
    side_ = images_[0]->GetImage().descriptor.width;
    surface_.reset(createSurface(path_.width, path_.height, 32, nullptr));
}

RECT PixelWork::Next(bool stamp) {
    const StampPosition p = path_.NextPosition(side_, cbStep_, csStep_);
    if (stamp) {
        const Image& image = images_[slot_]->GetImage();
        drawImage(*surface_, image.descriptor, p.x, p.y, 255, &image.runs);
    }
    slot_ = (slot_ + 1) % kShapeSlots;
    return RECT{p.x, p.y, p.x + side_, p.y + side_};
}

RECT PixelWork::CopyRows(const RECT& rect) {
    const PixelRect r = CopyRowsBottomUp(*surface_, PixelRect{rect.left, rect.top, rect.right, rect.bottom}, rows_);
    return RECT{r.left, r.top, r.right, r.bottom};
}
