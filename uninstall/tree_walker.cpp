// The walker thread runs WalkTree and hands each item to the consumer through one slot. Hand-off:
// the walker writes the slot under the slot lock, sets item ready and waits for item taken or the
// stop request; the consumer waits for item ready, resets it, copies the slot under the lock and
// sets item taken. So the slot holds at most one item and the walker never runs ahead. The stop
// request (set by the destructor) wakes a waiting walker, which closes every level and unwinds;
// the end of the walk is always announced and walk done always set, so the destructor never hangs.
// Everything the two threads share belongs to the walker object, so walkers never meet.

#include "uninstall/tree_walker.h"

#include "platform/sync.h"
#include "platform/thread.h"
#include "uninstall/tree_walk.h"

struct CTreeWalker::Shared : WalkSink {
    explicit Shared(const std::string& root_path) : root(root_path) {}

    static void WalkThreadProc(void* arg);
    bool Deliver(const std::string& item_name, const std::string& item_path,
                 uint8_t item_flag) override;
    void AnnounceEnd();

    const std::string root;         // the folder walked; read by the walker thread only
    platform::Semaphore slot_lock;  // guards the slot's four fields
    bool has_item = false;          // slot: an item (true) or the end of the walk (false)
    uint8_t directory_flag = 0;     // slot: 1 for a folder or a leave marker
    std::string full_path;          // slot
    std::string name;               // slot
    platform::Event item_ready;     // set by the walker, reset by the consumer
    platform::Event item_taken;     // set by the consumer, reset by the walker
    platform::Event stop_request;   // set by the destructor; never reset
    platform::Event walk_done;      // set by the walker thread as its very last act
    bool end_seen = false;          // consumer side: GetNext has returned false
    platform::Thread thread;
};

// Puts one item into the slot and waits until the consumer took it; false on a stop request.
bool CTreeWalker::Shared::Deliver(const std::string& item_name, const std::string& item_path,
                                  uint8_t item_flag) {
    {
        platform::SemaphoreLock lock(slot_lock);
        has_item = true;
        name = item_name;
        full_path = item_path;
        directory_flag = item_flag;
    }
    item_ready.Set();
    // Taken wins when both are set; a failed wait counts as taken.
    const bool stopped = platform::WaitAny(item_taken, stop_request) == 1;
    item_taken.Reset();
    return !stopped;
}

void CTreeWalker::Shared::AnnounceEnd() {
    {
        platform::SemaphoreLock lock(slot_lock);
        has_item = false;
    }
    item_ready.Set();
}

void CTreeWalker::Shared::WalkThreadProc(void* arg) {
    auto* shared = static_cast<Shared*>(arg);
    WalkTree(shared->root, *shared);
    shared->AnnounceEnd();
    // The destructor may free `shared` as soon as this is set: nothing touches it afterwards.
    shared->walk_done.Set();
}

// Without every lock and event, or without a thread, the walk is empty and already over: a hand-off
// whose waits do not wait could deliver an item twice or lose one.
CTreeWalker::CTreeWalker(const std::string& root) : shared_(new Shared(root)) {
    Shared& s = *shared_;
    if (!s.slot_lock.Valid() || !s.item_ready.Valid() || !s.item_taken.Valid() ||
        !s.stop_request.Valid() || !s.walk_done.Valid()) {
        s.end_seen = true;
        return;
    }
    s.item_ready.Reset();
    s.item_taken.Reset();
    s.stop_request.Reset();
    s.walk_done.Reset();
    if (!s.thread.Start(Shared::WalkThreadProc, shared_)) {
        s.end_seen = true;
    }
}

CTreeWalker::~CTreeWalker() {
    if (shared_->thread.IsStarted()) {
        shared_->stop_request.Set();
        shared_->walk_done.Wait();
        shared_->thread.Join();
    }
    delete shared_;
}

bool CTreeWalker::GetNext(std::string* name, std::string* full_path, uint8_t* directory_flag) {
    if (shared_->end_seen) {
        return false;  // the end stays the end; waiting again would never return
    }
    shared_->item_ready.Wait();
    shared_->item_ready.Reset();
    bool has_item;
    {
        platform::SemaphoreLock lock(shared_->slot_lock);
        has_item = shared_->has_item;
        if (has_item) {
            *name = shared_->name;
            *full_path = shared_->full_path;
            *directory_flag = shared_->directory_flag;
        }
    }
    shared_->item_taken.Set();
    shared_->end_seen = !has_item;
    return has_item;
}
