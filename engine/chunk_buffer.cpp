#include "engine/chunk_buffer.h"

#include <new>

std::unique_ptr<CChunkBuffer> CChunkBuffer::Create(uint32_t capacity) {
    std::unique_ptr<CChunkBuffer> buffer(new (std::nothrow) CChunkBuffer(capacity));
    if (buffer == nullptr) {
        return nullptr;
    }
    for (std::unique_ptr<uint8_t[]>& half : buffer->halves_) {
        half.reset(new (std::nothrow) uint8_t[capacity]);
        if (half == nullptr) {
            return nullptr;
        }
    }
    return buffer;
}

uint8_t* CChunkBuffer::BeginFill() {
    semaphores_[fill_index_].Acquire();
    return halves_[fill_index_].get();
}

void CChunkBuffer::EndFill() {
    semaphores_[fill_index_].Release();
    fill_index_ ^= 1;
}

const uint8_t* CChunkBuffer::BeginDrain() {
    semaphores_[drain_index_].Acquire();
    return halves_[drain_index_].get();
}

void CChunkBuffer::EndDrain() {
    semaphores_[drain_index_].Release();
    drain_index_ ^= 1;
}
