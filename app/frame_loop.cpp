#include "app/frame_loop.h"

bool FrameLoop::MayDraw(RunState& run, uint32_t now) {
    if (run.stopDrawing != 1) return true;
    if (run.resumePending == 0) return false;
    if (!(now - run.moveTime > kMovePauseMs)) return false;
    run.stopDrawing = 0;
    run.resumePending = 0;
    return true;
}

BurstEnd FrameLoop::Run(FrameHost& host, const SaverSettings& settings, RunState& run, uint32_t now) {
    if (!MayDraw(run, now)) return BurstEnd::Paused;
    if (busy_) return BurstEnd::Busy;
    busy_ = true;
    const BurstEnd end = Passes(host, settings, run);
    if (end != BurstEnd::WindowGone) busy_ = false;
    return end;
}

bool FrameLoop::RunBursts(int count, FrameHost& host, const SaverSettings& settings, RunState& run,
                          uint32_t (*clock)()) {
    for (int i = 0; i < count; ++i) {
        // The clock is read per burst: the first may have run for a while.
        const BurstEnd end = Run(host, settings, run, clock());
        if (end == BurstEnd::WindowGone) return false;
        if (end == BurstEnd::Quit) break;
    }
    return true;
}

BurstEnd FrameLoop::Passes(FrameHost& host, const SaverSettings& settings, RunState& run) {
    int32_t drawn = 0;
    for (;;) {
        int32_t pass = 0;
        // Image settings changed by a handler inside the burst take effect here.
        if (run.rebuildImages == 1) host.RebuildImages();
        for (int slot = 0; slot < kShapeSlots; ++slot) {
            // Read live: a handler run by the dispatch below may switch a later slot.
            if (settings.switches[slot] == 0) continue;
            if (run.stopDrawing == 1) return BurstEnd::Stopped;
            // Keep the program responsive: one pending message before every shape.
            const FrameHost::Dispatch dispatched = host.DispatchOneMessage();
            // Checked first: the window may have gone in the same call that took the quit
            // request (a host in another process dies while we peek).
            if (!host.WindowStillExists()) return BurstEnd::WindowGone;
            if (dispatched == FrameHost::Dispatch::Quit) return BurstEnd::Quit;
            ++pass;
            if (run.stopDrawing == 1) return BurstEnd::Stopped;
            host.StampSlot(slot);
            ++drawn;
        }
        // The count is compared after whole passes: 1302 shapes with seven slots on.
        if (pass == 0 || drawn >= kShapesPerBurst) return BurstEnd::Done;
    }
}
