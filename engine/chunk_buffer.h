#pragma once

// The double buffer through which file bodies travel from the extraction reader to the writer:
// two halves of `capacity` bytes, each guarded by a binary semaphore. The reader fills one half
// while the writer drains the other; each side steps through the halves in turn, so the fill and
// the drain index follow each other around the two halves. The semaphores only keep a fill from
// starting on a half that is still being drained (and the reverse); the order of the chunks is
// kept by the pipeline's events.

#include <cstdint>
#include <memory>

#include "platform/sync.h"

class CChunkBuffer {
  public:
    // Null when the halves cannot be allocated: the caller fails its run, nothing is thrown.
    static std::unique_ptr<CChunkBuffer> Create(uint32_t capacity);
    // Both semaphores were made: without one, a fill could start on a half being drained.
    bool Valid() const { return semaphores_[0].Valid() && semaphores_[1].Valid(); }

    CChunkBuffer(const CChunkBuffer&) = delete;
    CChunkBuffer& operator=(const CChunkBuffer&) = delete;

    uint32_t capacity() const { return capacity_; }

    // Waits for the half at the fill index and returns it; EndFill releases it and moves on.
    uint8_t* BeginFill();
    void EndFill();
    // The same for the drain index.
    const uint8_t* BeginDrain();
    void EndDrain();

  private:
    explicit CChunkBuffer(uint32_t capacity) : capacity_(capacity) {}

    uint32_t capacity_;                     // bytes per half
    int fill_index_ = 0;                    // the half the reader fills next (reader only)
    int drain_index_ = 0;                   // the half the writer drains next (writer only)
    std::unique_ptr<uint8_t[]> halves_[2];  // capacity_ bytes each
    platform::Semaphore semaphores_[2];     // one per half, available while nobody holds it
};
