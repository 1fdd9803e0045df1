#include "render/button_image_creator.h"

#include <cstdint>
#include <cstdio>
#include <new>

#include "render/graphics.h"

const ClassInfo Image::kClass{"Image", &Object::kClass};
const ClassInfo Resource::kClass{"Resource", &RefObject::kClass};
const ClassInfo ImageResource::kClass{"ImageResource", &Resource::kClass};
const ClassInfo ButtonImageCreator::kClass{"ButtonImageCreator", &RefObject::kClass};

Image::Image() {
    descriptor = DC_DESCRIPTOR{};
    descriptor.width = 0;
    descriptor.height = 0;
    descriptor.colourKey = -1;
    descriptor.alpha = -1;
}

Image::~Image() = default;

const ClassInfo* Image::ClassId() const { return &kClass; }

bool Image::CreatePixels(int32_t width, int32_t height, const PixelBlock* shared, size_t offset) {
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    if (shared != nullptr) {
        if (shared->memory == nullptr || offset > shared->words || shared->words - offset < count) return false;
        block = *shared;
    } else {
        // Allocated as 32-bit words, the type the renderer writes.
        uint32_t* memory = new (std::nothrow) uint32_t[count];
        if (memory == nullptr) return false;
        block.memory.reset(memory);
        block.words = count;
    }
    descriptor.pixels = reinterpret_cast<uint8_t*>(block.memory.get() + offset);
    const size_t bytes = count * 4;
    descriptor.width = width;
    descriptor.height = height;
    descriptor.flags = 0;
    descriptor.clipX = 0;
    descriptor.clipY = 0;
    descriptor.clipWidth = width;
    descriptor.clipHeight = height;
    descriptor.bitsPerPixel = 32;
    descriptor.bytesPerPixel = 4;
    descriptor.bytesPerRow = width * 4;
    descriptor.stride = width * 4;
    descriptor.alpha = 255;
    pixelFormat = kRgb32;
    byteSize = bytes;
    RecomputeStamp();
    return true;
}

void Image::SetColourKey(uint32_t key, bool fill) {
    if (fill) {
        Graphics view(descriptor);
        view.colour = key;
        fillRect(view, 0, 0, descriptor.width, descriptor.height);
    }
    descriptor.colourKey = static_cast<int32_t>(key);
    descriptor.flags |= kDescColorKeySet;
    RecomputeStamp();
}

void Image::RecomputeStamp() {
    changeStamp = static_cast<uint32_t>(descriptor.width) + static_cast<uint32_t>(descriptor.height) +
                  static_cast<uint32_t>(descriptor.flags) + static_cast<uint32_t>(pixelFormat) +
                  static_cast<uint32_t>(reinterpret_cast<uintptr_t>(descriptor.pixels)) +
                  static_cast<uint32_t>(byteSize);
}

Resource::Resource(const char* name) : name_(name ? name : ""), nameHash_(0) {
    for (char& c : name_)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    for (size_t i = 0; i < name_.size(); ++i) {
        const int32_t ch = static_cast<signed char>(name_[i]);
        nameHash_ += static_cast<uint32_t>(ch) << (i % 32);
    }
}

const ClassInfo* Resource::ClassId() const { return &kClass; }
const ClassInfo* ImageResource::ClassId() const { return &kClass; }

bool ButtonImageCreator::Prepare(const ShapeImageParams& params, bool fillKey, const PixelBlock* block,
                                 size_t offset) {
    const int64_t side = ShapeImageSide(params.outerSize);
    char name[32];
    std::snprintf(name, sizeof name, "B%3d%3d", static_cast<int>(side), static_cast<int>(side));
    resource_ = new ImageResource(name);
    resource_->AddRef();
    if (!ShapeImageSizeSupported(params.outerSize)) return false;
    Image& image = resource_->image;
    if (block != nullptr && block->memory == nullptr) return false;
    if (!image.CreatePixels(static_cast<int32_t>(side), static_cast<int32_t>(side), block, offset)) return false;
    image.SetColourKey(0, fillKey);
    return true;
}

void ButtonImageCreator::Finish(const Image* like) {
    Image& image = resource_->image;
    image.RecomputeStamp();
    // With key 0 the transparency finish (top byte cleared on key pixels) changes nothing.
    if (like != nullptr)
        image.runs.BuildLike(like->runs, image.descriptor);
    else
        image.runs.Build(image.descriptor);
}

ButtonImageCreator::ButtonImageCreator(const ShapeImageParams& params) {
    if (!Prepare(params, false)) return;
    Image& image = resource_->image;
    // The renderer writes every pixel, the key included.
    renderShape(reinterpret_cast<uint32_t*>(image.descriptor.pixels), image.descriptor.width,
                image.descriptor.height, params);
    Finish();
}

ButtonImageCreator::ButtonImageCreator(const ShapeImageParams& params, const PixelBlock* block, size_t offset) {
    Prepare(params, false, block, offset);
}

std::vector<std::unique_ptr<ButtonImageCreator>> ButtonImageCreator::CreateColoured(const ShapeImageParams& params,
                                                                                  const ShapeShading& shading,
                                                                                  const uint32_t* colours,
                                                                                  size_t count,
                                                                                  PixelBlock recycled) {
    // One block for all the images; none for a size that gets no image.
    size_t words = 0;
    PixelBlock block;
    if (ShapeImageSizeSupported(params.outerSize)) {
        const size_t side = static_cast<size_t>(ShapeImageSide(params.outerSize));
        words = side * side;
        if (recycled.memory != nullptr && recycled.memory.use_count() == 1 && recycled.words / words >= count) {
            block = std::move(recycled);
        } else if (count <= SIZE_MAX / 4 / words) {
            recycled = PixelBlock{};  // freed before the new block is had
            block.memory.reset(new (std::nothrow) uint32_t[count * words]);
            block.words = block.memory != nullptr ? count * words : 0;
        }
    }
    std::vector<std::unique_ptr<ButtonImageCreator>> out;
    std::vector<uint32_t> painted;  // the colours of the images that got pixels
    std::vector<uint32_t*> outputs;
    for (size_t k = 0; k < count; ++k) {
        out.emplace_back(new ButtonImageCreator(params, &block, k * words));
        Image& image = out.back()->resource_->image;
        if (image.descriptor.pixels == nullptr) continue;  // no size, or no memory: draws nothing
        if (shading.width != image.descriptor.width || shading.height != image.descriptor.height) {
            image.SetColourKey(0);  // shading of another size: the image stays transparent
            continue;
        }
        painted.push_back(colours[k]);
        outputs.push_back(reinterpret_cast<uint32_t*>(image.descriptor.pixels));
    }
    ColourShading(shading, painted.data(), painted.size(), params.highlightColour, outputs.data());
    // The colourings of one shading have their key pixels in the same places (uncovered
    // ones; a covered pixel has every channel at least 1): one image's runs serve all.
    const Image* coloured = nullptr;
    for (auto& creator : out) {
        const Image& image = creator->GetImage();
        if (image.descriptor.pixels == nullptr) continue;
        const bool shaded = shading.width == image.descriptor.width && shading.height == image.descriptor.height;
        creator->Finish(shaded ? coloured : nullptr);
        if (shaded && coloured == nullptr) coloured = &image;
    }
    return out;
}

ButtonImageCreator::~ButtonImageCreator() {
    Release(resource_);
    Release(secondResource_);
}

const ClassInfo* ButtonImageCreator::ClassId() const { return &kClass; }
const char* ButtonImageCreator::ClassName() const { return kClass.name; }
