// The synchronisation rules the pipeline and the tree walker are written against: manual-reset
// events, WaitAny with the first event winning, binary semaphores used as locks, and a strict
// hand-off between two threads that must never lose a wake-up.

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

TEST(Event, ResetBeforeUseClearsAStaleSet) {
    Waiter w;
    w.first.Set();
    w.first.Reset();
    Thread thread;
    ASSERT_TRUE(thread.Start(WaitAnyProc, &w));
    Pause();
    EXPECT_EQ(w.woke_by, -1);
    w.second.Set();
    thread.Join();
    EXPECT_EQ(w.woke_by, 1);
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

// The hand-off of the pipeline and the walker: the producer fills a slot under a lock, sets
// "ready" and waits for "taken" or "consumer finished"; the consumer waits for "ready" or
// "producer finished", resets "ready", copies the slot and sets "taken".
struct HandOff {
    static constexpr int kItems = 5000;
    Semaphore slot_lock;
    Event ready;
    Event taken;
    Event producer_finished;
    Event consumer_finished;
    int slot = 0;  // guarded by slot_lock
    long long received_sum = 0;
    int received = 0;
    int stop_after = kItems;  // the consumer quits early when lower
};

void ProduceProc(void* arg) {
    auto* h = static_cast<HandOff*>(arg);
    for (int i = 1; i <= HandOff::kItems; ++i) {
        {
            SemaphoreLock hold(h->slot_lock);
            h->slot = i;
        }
        h->ready.Set();
        if (WaitAny(h->taken, h->consumer_finished) == 1) {
            break;
        }
        h->taken.Reset();
    }
    h->producer_finished.Set();
}

void Consume(HandOff* h) {
    while (h->received < h->stop_after && WaitAny(h->ready, h->producer_finished) == 0) {
        h->ready.Reset();
        {
            SemaphoreLock hold(h->slot_lock);
            h->received_sum += h->slot;
        }
        ++h->received;
        h->taken.Set();
    }
    h->consumer_finished.Set();
    h->producer_finished.Wait();
}

TEST(HandOff, EveryItemArrivesExactlyOnce) {
    HandOff h;
    h.ready.Reset();
    h.taken.Reset();
    Thread producer;
    ASSERT_TRUE(producer.Start(ProduceProc, &h));
    Consume(&h);
    producer.Join();
    EXPECT_EQ(h.received, HandOff::kItems);
    EXPECT_EQ(h.received_sum, static_cast<long long>(HandOff::kItems) * (HandOff::kItems + 1) / 2);
}

TEST(HandOff, AConsumerThatStopsEarlyReleasesTheProducer) {
    HandOff h;
    h.stop_after = 10;
    Thread producer;
    ASSERT_TRUE(producer.Start(ProduceProc, &h));
    Consume(&h);
    producer.Join();
    EXPECT_EQ(h.received, 10);
    EXPECT_EQ(h.received_sum, 55);
}

}  // namespace
