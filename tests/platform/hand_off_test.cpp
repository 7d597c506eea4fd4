// The hand-off of the extraction pipeline and the tree walker: every item arrives once and whole,
// in order, and either side may end at any point without leaving the other waiting.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>

#include "platform/hand_off.h"
#include "platform/thread.h"

namespace {

using platform::HandOff;
using platform::Thread;

// Two fields written one after the other: a consumer that copied a half-written slot would see
// them disagree.
struct Item {
    int number = 0;
    std::string text;
};

struct Case {
    int items;        // the producer offers 1..items
    int stop_after;   // the consumer takes this many, then finishes (items or more: all)
    int pause_every;  // the producer pauses before every so many items (0: never), so that the
                      // consumer's waits sleep instead of catching the item while they spin
};

struct Session {
    explicit Session(const Case& c) : test(c) { hand_off.Reset(); }
    const Case test;
    HandOff<Item> hand_off;
    int offered = 0;  // items whose Offer returned true (producer only)
};

void ProduceProc(void* arg) {
    auto* run = static_cast<Session*>(arg);
    for (int i = 1; i <= run->test.items; ++i) {
        if (run->test.pause_every > 0 && i % run->test.pause_every == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        {
            auto item = run->hand_off.Fill();
            item->number = i;
            item->text = std::to_string(i);
        }
        if (!run->hand_off.Offer()) {
            break;
        }
        ++run->offered;
    }
    run->hand_off.FinishProducing();
}

class HandOffTable : public ::testing::TestWithParam<Case> {};

TEST_P(HandOffTable, EveryItemArrivesOnceWholeAndInOrderAndEitherEndReleasesTheOther) {
    Session run(GetParam());
    Thread producer;
    ASSERT_TRUE(producer.Start(ProduceProc, &run));
    int received = 0;
    bool whole_and_in_order = true;
    while (received < run.test.stop_after && run.hand_off.AwaitItem()) {
        run.hand_off.Take([&](const Item& item) {
            ++received;
            whole_and_in_order &= item.number == received && item.text == std::to_string(received);
        });
    }
    run.hand_off.FinishConsuming();
    run.hand_off.AwaitProducerFinished();
    producer.Join();
    const int expected = std::min(run.test.items, run.test.stop_after);
    EXPECT_EQ(received, expected);
    EXPECT_TRUE(whole_and_in_order);
    // A producer stopped early had its last offer refused rather than taken twice or lost.
    EXPECT_EQ(run.offered, expected);
}

INSTANTIATE_TEST_SUITE_P(Sync, HandOffTable,
                         ::testing::Values(Case{20000, 20000, 0},  // spinning hand-offs
                                           Case{300, 300, 3},      // sleeping hand-offs
                                           Case{5000, 10, 0},      // the consumer ends early
                                           Case{100, 50, 7},       // ... while the producer sleeps
                                           Case{0, 10, 0},         // nothing to hand over
                                           Case{10, 0, 0}));       // a consumer that takes nothing

}  // namespace
