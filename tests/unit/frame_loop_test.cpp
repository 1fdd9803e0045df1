#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "app/frame_loop.h"

namespace {

using Dispatch = FrameHost::Dispatch;

// A window stand-in: records what the burst asks; `onDispatch` handles the n-th message (from 1).
struct FakeHost : FrameHost {
    std::function<Dispatch(int)> onDispatch = [](int) { return Dispatch::Dispatched; };
    bool exists = true;
    int dispatches = 0, callsAfterGone = 0;
    std::vector<int> stamps;        // slot of every stamp, in order
    std::vector<size_t> rebuiltAt;  // stamps made before each rebuild
    RunState* run = nullptr;

    Dispatch DispatchOneMessage() override { callsAfterGone += !exists; return onDispatch(++dispatches); }
    bool WindowStillExists() override { return exists; }
    void StampSlot(int slot) override { callsAfterGone += !exists; stamps.push_back(slot); }
    void RebuildImages() override {
        callsAfterGone += !exists;
        rebuiltAt.push_back(stamps.size());
        if (run != nullptr) run->rebuildImages = 0;
    }
};

SaverSettings WithSwitches(unsigned mask) {
    SaverSettings s{};
    for (int i = 0; i < kShapeSlots; ++i) s.switches[i] = (mask >> i) & 1;
    return s;
}

// A burst ends after the first whole pass reaching 1300 shapes, one message before each;
// the switched-on slots take turns in slot order.
TEST(FrameLoop, ABurstEndsAfterTheFirstWholePassReaching1300) {
    const struct { unsigned mask; size_t shapes; } rows[] = {
        {0x01, 1300}, {0x40, 1300}, {0x7F, 1302}, {0x15, 1302}, {0x21, 1300}, {0x00, 0}};
    for (const auto& row : rows) {
        FakeHost host;
        RunState run{};
        FrameLoop loop;
        EXPECT_EQ(loop.Run(host, WithSwitches(row.mask), run, 0), BurstEnd::Done) << row.mask;
        EXPECT_EQ(host.stamps.size(), row.shapes) << row.mask;
        EXPECT_EQ(host.dispatches, static_cast<int>(row.shapes)) << row.mask;
        EXPECT_FALSE(loop.Running());
        if (row.mask == 0x21) {
            EXPECT_EQ(std::vector<int>(host.stamps.begin(), host.stamps.begin() + 4), (std::vector<int>{0, 5, 0, 5}));
        }
    }
}

TEST(FrameLoop, HandlersRunByTheBurstTakeEffectWhereTheyShould) {
    SaverSettings s = WithSwitches(0x7F);
    RunState run{};
    run.rebuildImages = 1;  // a rebuild pending when a burst starts comes first
    FrameLoop loop;
    FakeHost host;
    host.run = &run;
    host.onDispatch = [&](int n) {
        if (n == 3) run.rebuildImages = 1;  // an image setting changed mid-pass
        if (n == 2) s.switches[5] = 0;      // a switch, before slot 1 is stamped
        if (n == 9) {
            EXPECT_EQ(loop.Run(host, s, run, 0), BurstEnd::Busy);  // the timer re-entering
        }
        if (n == 20) run.stopDrawing = 1;  // a modal window opening
        return Dispatch::Dispatched;
    };
    EXPECT_EQ(loop.Run(host, s, run, 0), BurstEnd::Stopped);
    EXPECT_EQ(host.rebuiltAt, (std::vector<size_t>{0, 6}));  // the second at the start of the next pass
    EXPECT_EQ(std::vector<int>(host.stamps.begin(), host.stamps.begin() + 7), (std::vector<int>{0, 1, 2, 3, 4, 6, 0}));
    EXPECT_EQ(host.stamps.size(), 19u);  // the 20th message stopped it before its shape
    EXPECT_FALSE(loop.Running());
}

// The window owns the loop: destroyed inside a dispatch (maybe with a quit), nothing is touched
// after (ASan sees the freed loop); a quit with the window there ends the row of bursts.
TEST(FrameLoop, NothingIsTouchedOnceTheWindowIsGone) {
    for (Dispatch answer : {Dispatch::Dispatched, Dispatch::Quit})
        for (int bursts : {1, 2})
            for (int goneAt : {1, 700, 1300}) {
                SCOPED_TRACE(testing::Message() << bursts << " bursts, window gone at message " << goneAt
                                                << (answer == Dispatch::Quit ? " with a quit" : ""));
                auto* window = new FrameLoop;
                FakeHost host;
                RunState run{};
                host.onDispatch = [&](int n) {
                    if (n != goneAt) return Dispatch::Dispatched;
                    run.stopDrawing = 1;  // as the window's destruction does
                    host.exists = false;
                    delete window;
                    return answer;
                };
                EXPECT_FALSE(window->RunBursts(bursts, host, WithSwitches(1), run, [] { return 0u; }));
                EXPECT_EQ(host.stamps.size(), static_cast<size_t>(goneAt - 1));
                EXPECT_EQ(host.callsAfterGone, 0);
            }
    FakeHost host, quitting;
    RunState run{};
    FrameLoop loop;
    EXPECT_TRUE(loop.RunBursts(2, host, WithSwitches(1), run, [] { return 0u; }));
    EXPECT_EQ(host.stamps.size(), 2600u);
    quitting.onDispatch = [](int n) { return n == 5 ? Dispatch::Quit : Dispatch::Dispatched; };
    EXPECT_TRUE(loop.RunBursts(2, quitting, WithSwitches(1), run, [] { return 0u; }));
    EXPECT_EQ(quitting.stamps.size(), 4u);
}

TEST(FrameLoop, PausesAndTheTimedResumeAfterADialogMove) {
    const struct { const char* what; int32_t stop, resume; uint32_t moveTime, now; bool draws; } rows[] = {
        {"not paused", 0, 0, 0, 0, true},
        {"paused by a modal window: the clock does not matter", 1, 0, 0, 100000, false},
        {"moves at 0, 100, 200: still paused at 350", 1, 1, 200, 350, false},
        {"moves at 0, 100, 200: resumes at 351", 1, 1, 200, 351, true},
        {"move just before the clock wraps, 150 ms later", 1, 1, 0xFFFFFFF0u, 0x86, false},
        {"move just before the clock wraps, 151 ms later", 1, 1, 0xFFFFFFF0u, 0x87, true},
        {"move just before the clock wraps, 15 ms later", 1, 1, 0xFFFFFFF0u, 0xFFFFFFFFu, false},
        {"move 256 ms before the wrap, 272 ms later", 1, 1, 0xFFFFFF00u, 0x10, true},
    };
    for (const auto& row : rows) {
        RunState run{};
        run.stopDrawing = row.stop;
        run.resumePending = row.resume;
        run.moveTime = row.moveTime;
        FakeHost host;
        EXPECT_EQ(FrameLoop().Run(host, WithSwitches(1), run, row.now) == BurstEnd::Paused, !row.draws) << row.what;
        EXPECT_EQ(host.stamps.size(), row.draws ? 1300u : 0u) << row.what;
        EXPECT_EQ(std::make_pair(run.stopDrawing, run.resumePending),
                  row.draws ? std::make_pair(0, 0) : std::make_pair(row.stop, row.resume))
            << row.what;
    }
}

}  // namespace
