// The decisions of one frame burst, apart from the window that runs it: when a burst may
// start, the passes over the switched-on slots, the 1300-shape count, the pause checks
// after every dispatched message, and the rebuild of the images between passes. The
// window supplies the platform's part through FrameHost.
#pragma once

#include <cstdint>

#include "app/settings.h"

// What the burst asks of its window.
class FrameHost {
public:
    enum class Dispatch { None, Dispatched, Quit };

    // Removes at most one pending message of the thread and dispatches it; Quit when the
    // message was the thread's quit request (handed back to its loop, the burst ends).
    virtual Dispatch DispatchOneMessage() = 0;
    // False once a dispatched message has destroyed the window: the object behind this
    // host may then be gone and nothing of it may be touched.
    virtual bool WindowStillExists() = 0;
    virtual void StampSlot(int slot) = 0;
    virtual void RebuildImages() = 0;

protected:
    ~FrameHost() = default;
};

enum class BurstEnd {
    Paused,      // stopDrawing is set and no timed resume is due: nothing ran
    Busy,        // re-entered from a message the running burst dispatched
    Done,        // the count was reached, or no slot is switched on
    Stopped,     // stopDrawing was set during the burst
    Quit,        // the thread's quit request came up
    WindowGone,  // the window was destroyed during the burst; its object may be deleted
};

constexpr int32_t kShapesPerBurst = 1300;
constexpr uint32_t kMovePauseMs = 150;

class FrameLoop {
public:
    // The pause check at the start of every burst. A pause set by a dialog move ends once
    // the clock is more than 150 ms past the last move (elapsed time, so that it holds
    // across the clock's wrap-around); any other pause lasts until its writer clears it.
    // Clears both flags when the timed pause is over.
    static bool MayDraw(RunState& run, uint32_t now);

    // One burst. After WindowGone neither the host nor this loop (a member of the window
    // object) has been touched since the window went.
    BurstEnd Run(FrameHost& host, const SaverSettings& settings, RunState& run, uint32_t now);

    // `count` bursts in a row, as the panel preview draws per mouse move, each checked
    // against `clock` at its start; a quit request ends the row. False when the window
    // went during one of them; nothing of the window object is touched after that.
    bool RunBursts(int count, FrameHost& host, const SaverSettings& settings, RunState& run, uint32_t (*clock)());

    bool Running() const { return busy_; }

private:
    BurstEnd Passes(FrameHost& host, const SaverSettings& settings, RunState& run);

    bool busy_ = false;
};
