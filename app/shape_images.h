// The seven shape images of the live settings, one per slot, rebuilt together whenever
// an image setting changed. Shared by every platform's animation window.
#pragma once

#include "app/settings.h"
#include "render/button_image_creator.h"

using ShapeImages = ButtonImageCreator* [kShapeSlots];

// Replaces `images` by those of `settings` at the path's `scale` and clears
// `rebuildImages`. Sizes that cannot be drawn, or memory running out, leave the slots
// without an image (they draw nothing).
void RebuildShapeImages(const SaverSettings& settings, double scale, ShapeImages& images, RunState& run);
void DeleteShapeImages(ShapeImages& images);
