// Reading the fixed-layout inputs of the fuzz targets: little-endian words, missing bytes
// read as zero, so every input, however short, is a valid one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

class WordReader {
public:
    WordReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    uint32_t Word() {
        uint32_t word = 0;
        for (int i = 0; i < 4; ++i, ++at_)
            if (at_ < size_) word |= uint32_t{data_[at_]} << (8 * i);
        return word;
    }
    int32_t Int() { return static_cast<int32_t>(Word()); }
    float Float() {
        const uint32_t word = Word();
        float value;
        std::memcpy(&value, &word, sizeof value);
        return value;
    }
    bool AtEnd() const { return at_ >= size_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

inline float FloatFromBits(uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

inline uint32_t BitsOf(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// Equal as stored: the same bits, or both not a number (whose sign and payload nothing reads).
inline bool SameFloat(float a, float b) { return (a != a && b != b) || BitsOf(a) == BitsOf(b); }
