// Cuts the life of the benchmark window into short slices, each given to one of the
// loops in turn, and measures each slice between two paints: the only moments when
// every shape stamped so far is known to be on screen. The machine is shared, and other
// work can slow everything several times over for a second or two; slices of a tenth of
// a second in turns expose both loops to the same disturbances.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

enum class Mode : char {
    kSaver = 's',  // the real frame bursts of CDrawWnd
    kBare = 'b',   // only the platform's part of each shape
    kTimed = 't',  // the bare loop with every platform call timed
    kCopy = 'c',   // the bare loop plus the saver's stamp and row copy: the saver emulated
    kDirect = 'd', // the bare loop plus the saver's stamp, painting straight from the surface
};

struct Slice {
    Mode mode = Mode::kSaver;
    double seconds = 0;
    double cpuSeconds = 0;  // of this process only; the wineserver and the X server are apart
    uint64_t shapes = 0;
    uint64_t paints = 0;
    uint64_t blits = 0;
    uint64_t pixels = 0;
    int32_t maxBlitWidth = 0;
    bool keptUp = true;  // nothing was waiting for its paint at either end
};

class Slicer {
public:
    // `cycle` lists the modes taken in turn ("sb", "sbtcd"); `rounds` cycles are measured
    // after a first, unrecorded slice of `warmup` seconds in the cycle's first mode.
    Slicer(const std::string& cycle, int rounds, double sliceSeconds, double warmup);

    void Begin();
    // Slice i (from 1) belongs to cycle letter (i - 1) mod length; the warm-up to the first.
    Mode Current() const {
        return static_cast<Mode>(cycle_[position_ == 0 ? 0 : (position_ - 1) % cycle_.size()]);
    }
    // True while a recorded slice is between its two snapshots.
    bool Measuring() const { return started_ && !switchPending_ && position_ > 0; }
    // The current slice has ended: the running burst should stop.
    bool SwitchPending() const { return switchPending_; }
    // At a burst boundary: the next mode of the cycle takes over.
    void Switch();
    // After a paint was handled; `shapes` counts every shape stamped so far by any loop.
    void AfterPaint(uint64_t shapes, HWND window);
    bool Done() const { return position_ > static_cast<size_t>(rounds_) * cycle_.size(); }
    // Past the expected end plus a generous grace: a loop stopped painting.
    bool Overdue() const;

    const std::vector<Slice>& Slices() const { return slices_; }

private:
    struct Snapshot {
        int64_t ticks = 0;
        int64_t cpu100ns = 0;
        uint64_t shapes = 0;
        uint64_t paints = 0;
        uint64_t blits = 0;
        uint64_t pixels = 0;
    };
    Snapshot Take(uint64_t shapes, bool atStart) const;

    std::string cycle_;
    int rounds_;
    int64_t frequency_ = 1;
    int64_t sliceTicks_ = 0;
    int64_t warmupTicks_ = 0;
    int64_t begin_ = 0;
    size_t position_ = 0;  // 0: the warm-up slice
    uint64_t paints_ = 0;
    int paintsInSlice_ = 0;
    bool started_ = false;
    bool switchPending_ = false;
    bool keptUp_ = true;
    Snapshot start_;
    std::vector<Slice> slices_;
};
