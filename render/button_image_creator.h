// A shape image: a square 32-bit picture of one shaded shape, transparent (colour key 0)
// outside the shape, held in a named, reference-counted image resource.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/object.h"
#include "render/dc_descriptor.h"
#include "render/opaque_runs.h"
#include "render/shape_shading.h"

// Pixel memory that several images may share: the seven images of the animation window
// live in one block, which their replacements take over.
struct PixelBlock {
    std::shared_ptr<uint32_t[]> memory;
    size_t words = 0;
};

class Image : public Object {
public:
    enum PixelFormat : int32_t { kIndexed8 = 0, kRgb15 = 1, kRgb32 = 2 };

    Image();
    ~Image() override;
    const ClassInfo* ClassId() const override;

    // Allocates width x height 32-bit pixels, or takes them from `shared` at word
    // `offset`; false (and no pixels) when that fails.
    bool CreatePixels(int32_t width, int32_t height, const PixelBlock* shared = nullptr, size_t offset = 0);
    // Fills the image with the key and marks the key as set; `fill` false when every
    // pixel is about to be written anyway.
    void SetColourKey(uint32_t key, bool fill = true);
    // The wrapping sum that caches keyed on the image compare.
    virtual void RecomputeStamp();

    static const ClassInfo kClass;

    DC_DESCRIPTOR descriptor;
    PixelBlock block;  // holds descriptor.pixels
    // The runs of pixels that the keyed stamp writes, found once the pixels are final.
    OpaqueRuns runs;
    int32_t pixelFormat = kRgb32;
    size_t byteSize = 0;
    uint32_t changeStamp = 0;
};

class Resource : public RefObject {
public:
    explicit Resource(const char* name);
    const ClassInfo* ClassId() const override;

    static const ClassInfo kClass;

    const std::string& Name() const { return name_; }
    uint32_t NameHash() const { return nameHash_; }

private:
    std::string name_;  // lower-cased
    uint32_t nameHash_;
};

class ImageResource : public Resource {
public:
    explicit ImageResource(const char* name) : Resource(name) {}
    const ClassInfo* ClassId() const override;

    static const ClassInfo kClass;

    Image image;
};

class ButtonImageCreator : public RefObject {
public:
    // Renders the shape described by `params`. A radius outside ShapeImageSizeSupported
    // gives an empty image (0 x 0, no pixels) that draws nothing.
    explicit ButtonImageCreator(const ShapeImageParams& params);
    ~ButtonImageCreator() override;

    // One creator per colour, each the picture ButtonImageCreator(params) makes in that
    // colour, from shading computed beforehand for these parameters and coloured in a
    // single pass that writes all the images: seven colours cost one shading. Shading of
    // another size leaves the images transparent. The images share one block of pixels:
    // `recycled`, when it is large enough and nothing else uses it any more (the block of
    // the images these replace), else a new one.
    static std::vector<std::unique_ptr<ButtonImageCreator>> CreateColoured(const ShapeImageParams& params,
                                                                           const ShapeShading& shading,
                                                                           const uint32_t* colours, size_t count,
                                                                           PixelBlock recycled = {});

    const ClassInfo* ClassId() const override;
    const char* ClassName() const override;

    static const ClassInfo kClass;

    const Image& GetImage() const { return resource_->image; }
    ImageResource& GetResource() { return *resource_; }

private:
    // An image with pixels from `block` (none without it) but no picture yet, for CreateColoured.
    ButtonImageCreator(const ShapeImageParams& params, const PixelBlock* block, size_t offset);

    // Steps common to the constructors; false when the image gets no pixels. With
    // `fillKey` false the caller writes every pixel itself.
    bool Prepare(const ShapeImageParams& params, bool fillKey, const PixelBlock* block = nullptr, size_t offset = 0);
    // The image is final: finds its runs, or takes those of `like`, an image whose key
    // pixels are the same.
    void Finish(const Image* like = nullptr);

    ImageResource* resource_ = nullptr;
    RefObject* secondResource_ = nullptr;  // never set for shape images
};

// Side of the image for a radius: 2R + 3.
inline int64_t ShapeImageSide(int64_t outerSize) { return 2 * outerSize + 3; }
