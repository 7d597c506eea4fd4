#pragma once

// Invariant: one item in flight: the producer writes the slot only after the consumer has taken
// the last item, and the consumer reads it only after the producer has said it is ready.
//
// HandOff passes items of type `Slot` from one producer thread to one consumer thread through a
// single slot guarded by a lock, paced by two events (ready, taken) and released by two more (the
// producer has finished, the consumer has finished). One hand-off: the producer fills the slot
// under the lock, sets ready and waits for taken or the consumer's end; the consumer waits for
// ready or the producer's end, resets ready, copies the slot under the lock and sets taken. Every
// wait also wakes on the other side's end, so either side may stop at any time without a
// deadlock, and no side holds the lock while it waits for an event.
//
// Making one can fail like any event or semaphore: a HandOff that is not Valid must not be used.

#include "platform/sync.h"

namespace platform {

template <typename Slot>
class HandOff {
  public:
    HandOff() = default;
    HandOff(const HandOff&) = delete;
    HandOff& operator=(const HandOff&) = delete;

    bool Valid() const {
        return lock_.Valid() && ready_.Valid() && taken_.Valid() && producer_finished_.Valid() &&
               consumer_finished_.Valid();
    }

    // Clears every event, before the two threads start.
    void Reset() {
        taken_.Reset();
        ready_.Reset();
        producer_finished_.Reset();
        consumer_finished_.Reset();
    }

    // The producer's access to the slot: holds the lock until it is released or destroyed.
    class Filling {
      public:
        explicit Filling(HandOff& hand_off) : hand_off_(&hand_off) { hand_off.lock_.Acquire(); }
        ~Filling() { Release(); }
        Filling(const Filling&) = delete;
        Filling& operator=(const Filling&) = delete;

        Slot* operator->() { return &hand_off_->slot_; }
        Slot& operator*() { return hand_off_->slot_; }
        void Release() {
            if (hand_off_ != nullptr) {
                hand_off_->lock_.Release();
                hand_off_ = nullptr;
            }
        }

      private:
        HandOff* hand_off_;
    };

    // Producer: the slot, under the lock.
    Filling Fill() { return Filling(*this); }
    // Producer: announces the filled slot and waits until it is taken (true) or the consumer
    // has finished (false). Taken wins when both are set; a failed wait counts as taken.
    bool Offer() {
        ready_.Set();
        if (WaitAny(taken_, consumer_finished_) == 1) {
            return false;
        }
        taken_.Reset();
        return true;
    }
    // Producer: announces its last item without waiting for it to be taken.
    void OfferLast() { ready_.Set(); }
    // Producer, as its last act on the hand-off.
    void FinishProducing() { producer_finished_.Set(); }

    // Consumer: waits until an item is ready (true) or the producer has finished (false). Ready
    // wins when both are set; a failed wait counts as ready.
    bool AwaitItem() { return WaitAny(ready_, producer_finished_) == 0; }
    // Consumer: hands the slot to `copy` under the lock, then lets the producer go on.
    template <typename Copy>
    void Take(Copy copy) {
        ready_.Reset();
        {
            SemaphoreLock hold(lock_);
            copy(static_cast<const Slot&>(slot_));
        }
        taken_.Set();
    }
    // Consumer: says it takes nothing more, which ends a producer's wait.
    void FinishConsuming() { consumer_finished_.Set(); }
    // Either side, or an owner: waits until the producer has finished.
    void AwaitProducerFinished() { producer_finished_.Wait(); }

  private:
    Semaphore lock_;
    Slot slot_{};  // guarded by lock_
    Event ready_;
    Event taken_;
    Event producer_finished_;
    Event consumer_finished_;
};

}  // namespace platform
