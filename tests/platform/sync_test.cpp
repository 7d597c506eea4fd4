// The synchronisation rules the pipeline and the tree walker are written against: manual-reset
// events, WaitAny with the first event winning, binary semaphores used as locks.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/sync.h"
#include "platform/thread.h"

namespace {

using platform::Event;
using platform::Semaphore;
using platform::SemaphoreLock;
using platform::Thread;
using platform::WaitAny;

// Gives another thread a moment to run. Used only where a fault would show as a wrong value,
// never as proof that something happened.
void Pause() {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

TEST(Event, ManualResetStaysSetUntilReset) {
    Event event;
    EXPECT_FALSE(event.IsSet());
    event.Set();
    EXPECT_TRUE(event.IsSet());
    event.Wait();
    event.Wait();
    EXPECT_TRUE(event.IsSet());
    event.Set();
    event.Reset();
    EXPECT_FALSE(event.IsSet());
    event.Reset();
    EXPECT_FALSE(event.IsSet());
}

struct WaitAnyCase {
    bool first_set;
    bool second_set;
    int expected;
};

class WaitAnyTable : public ::testing::TestWithParam<WaitAnyCase> {};

TEST_P(WaitAnyTable, ReportsWhichOneAndTheFirstWins) {
    const WaitAnyCase& c = GetParam();
    Event first;
    Event second;
    if (c.first_set)
        first.Set();
    if (c.second_set)
        second.Set();
    EXPECT_EQ(WaitAny(first, second), c.expected);
    EXPECT_EQ(WaitAny(first, second), c.expected);  // the wait resets nothing
    EXPECT_EQ(first.IsSet(), c.first_set);
    EXPECT_EQ(second.IsSet(), c.second_set);
}

INSTANTIATE_TEST_SUITE_P(Sync, WaitAnyTable,
                         ::testing::Values(WaitAnyCase{true, false, 0}, WaitAnyCase{false, true, 1},
                                           WaitAnyCase{true, true, 0}));

TEST(WaitAny, SameEventTwice) {
    Event event;
    event.Set();
    EXPECT_EQ(WaitAny(event, event), 0);
}

struct Waiter {
    Event first;
    Event second;
    Event single;
    std::atomic<int> woke_by{-1};
    std::atomic<bool> single_done{false};
};

void WaitAnyProc(void* arg) {
    auto* w = static_cast<Waiter*>(arg);
    w->woke_by = WaitAny(w->first, w->second);
}

void WaitProc(void* arg) {
    auto* w = static_cast<Waiter*>(arg);
    w->single.Wait();
    w->single_done = true;
}

class WakeTable : public ::testing::TestWithParam<int> {};

TEST_P(WakeTable, AWaiterOnAnotherThreadWakesOnEitherSet) {
    Waiter w;
    Thread thread;
    ASSERT_TRUE(thread.Start(WaitAnyProc, &w));
    Pause();
    EXPECT_EQ(w.woke_by, -1);
    (GetParam() == 0 ? w.first : w.second).Set();
    thread.Join();
    EXPECT_EQ(w.woke_by, GetParam());
}

INSTANTIATE_TEST_SUITE_P(Sync, WakeTable, ::testing::Values(0, 1));

TEST(Event, AWaiterOnAnotherThreadWakesOnSet) {
    Waiter w;
    Thread thread;
    ASSERT_TRUE(thread.Start(WaitProc, &w));
    Pause();
    EXPECT_FALSE(w.single_done);
    w.second.Set();  // another event does not wake it
    Pause();
    EXPECT_FALSE(w.single_done);
    w.single.Set();
    thread.Join();
    EXPECT_TRUE(w.single_done);
}

// A Set that nobody waited for, or one that woke a sleeper (which may leave a signal in the
// kernel), undone by a Reset: neither a later WaitAny nor a later Wait may end on it.
class StaleSetTable : public ::testing::TestWithParam<bool> {};

TEST_P(StaleSetTable, AResetSetIsNotSeenByTheNextWaiters) {
    const bool set_for_a_sleeper = GetParam();
    Waiter w;
    if (set_for_a_sleeper) {
        Thread any_sleeper;
        Thread single_sleeper;
        ASSERT_TRUE(any_sleeper.Start(WaitAnyProc, &w));
        ASSERT_TRUE(single_sleeper.Start(WaitProc, &w));
        Pause();
        w.first.Set();
        w.single.Set();
        any_sleeper.Join();
        single_sleeper.Join();
        ASSERT_EQ(w.woke_by, 0);
        ASSERT_TRUE(w.single_done);
        w.woke_by = -1;
        w.single_done = false;
    } else {
        w.first.Set();
        w.single.Set();
    }
    w.first.Reset();
    w.single.Reset();
    Thread any_waiter;
    Thread single_waiter;
    ASSERT_TRUE(any_waiter.Start(WaitAnyProc, &w));
    ASSERT_TRUE(single_waiter.Start(WaitProc, &w));
    Pause();
    EXPECT_EQ(w.woke_by, -1);
    EXPECT_FALSE(w.single_done);
    w.second.Set();
    w.single.Set();
    any_waiter.Join();
    single_waiter.Join();
    EXPECT_EQ(w.woke_by, 1);
    EXPECT_TRUE(w.single_done);
}

INSTANTIATE_TEST_SUITE_P(Sync, StaleSetTable, ::testing::Bool());

struct Doomed {
    Event* first = new Event;
    Event* second = new Event;
    bool set_second = false;  // which one the other thread sets
};

void SetDoomedProc(void* arg) {
    auto* d = static_cast<Doomed*>(arg);
    (d->set_second ? *d->second : *d->first).Set();
}

// As with a Win32 handle, whoever waited may free the events the moment its wait returns, while
// the Set that woke it may still be on its way out (AddressSanitizer sees a late touch).
TEST(Event, AWaiterMayFreeTheEventsAsSoonAsItsWaitReturns) {
    for (int round = 0; round < 20000; ++round) {
        Doomed d;
        d.set_second = round % 2 == 1;
        Thread setter;
        ASSERT_TRUE(setter.Start(SetDoomedProc, &d));
        if (round % 4 < 2) {
            (d.set_second ? *d.second : *d.first).Wait();
        } else {
            EXPECT_EQ(WaitAny(*d.first, *d.second), d.set_second ? 1 : 0);
        }
        delete d.first;
        delete d.second;
        setter.Join();
    }
}

struct Counter {
    Semaphore lock;
    long value = 0;  // guarded by lock only
};

void CountProc(void* arg) {
    auto* counter = static_cast<Counter*>(arg);
    for (int i = 0; i < 20000; ++i) {
        SemaphoreLock hold(counter->lock);
        long v = counter->value;
        counter->value = v + 1;
    }
}

TEST(Semaphore, GuardsAPlainCounterAcrossThreads) {
    Counter counter;
    Thread threads[4];
    for (Thread& t : threads) {
        ASSERT_TRUE(t.Start(CountProc, &counter));
    }
    for (Thread& t : threads) {
        t.Join();
    }
    EXPECT_EQ(counter.value, 4 * 20000);
}

struct Gate {
    Semaphore semaphore{false};
    std::atomic<bool> passed{false};
};

void PassProc(void* arg) {
    auto* gate = static_cast<Gate*>(arg);
    gate->semaphore.Acquire();
    gate->passed = true;
}

TEST(Semaphore, StartsTakenWhenAskedAndReleaseLetsOneIn) {
    Gate gate;
    Thread thread;
    ASSERT_TRUE(thread.Start(PassProc, &gate));
    Pause();
    EXPECT_FALSE(gate.passed);
    gate.semaphore.Release();
    thread.Join();
    EXPECT_TRUE(gate.passed);
}

TEST(Semaphore, CountsNoHigherThanOne) {
    Gate gate;
    gate.semaphore.Release();
    gate.semaphore.Release();  // ignored: already available
    gate.semaphore.Acquire();
    Thread thread;
    ASSERT_TRUE(thread.Start(PassProc, &gate));
    Pause();
    EXPECT_FALSE(gate.passed);  // a second Release would have let it through
    gate.semaphore.Release();
    thread.Join();
    EXPECT_TRUE(gate.passed);
}

}  // namespace
