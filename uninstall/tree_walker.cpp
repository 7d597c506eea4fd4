// The walker thread runs WalkTree and hands each item to the consumer through one slot, a
// platform::HandOff: the walker fills the slot, sets item ready and waits for item taken or the
// stop request; the consumer waits for item ready, copies the slot and sets item taken. So the
// slot holds at most one item and the walker never runs ahead. The stop
// request (set by the destructor) wakes a waiting walker, which closes every level and unwinds;
// the end of the walk is always announced and walk done always set, so the destructor never hangs.
// Everything the two threads share belongs to the walker object, so walkers never meet.

#include "uninstall/tree_walker.h"

#include "platform/hand_off.h"
#include "platform/thread.h"
#include "uninstall/tree_walk.h"

// What the walker puts into the slot.
struct WalkItem {
    bool has_item = false;       // an item (true) or the end of the walk (false)
    uint8_t directory_flag = 0;  // 1 for a folder or a leave marker
    std::string full_path;
    std::string name;
};

struct CTreeWalker::Shared : WalkSink {
    explicit Shared(const std::string& root_path) : root(root_path) {}

    static void WalkThreadProc(void* arg);
    bool Deliver(const std::string& item_name, const std::string& item_path,
                 uint8_t item_flag) override;
    void AnnounceEnd();

    const std::string root;  // the folder walked; read by the walker thread only
    // The slot with its slot lock; item ready and item taken pace the items; the consumer's
    // end is the stop request (set by the destructor, never reset), the producer's end is walk
    // done (set by the walker thread as its very last act).
    platform::HandOff<WalkItem> slot;
    bool end_seen = false;  // consumer side: GetNext has returned false
    platform::Thread thread;
};

// Puts one item into the slot and waits until the consumer took it; false on a stop request.
bool CTreeWalker::Shared::Deliver(const std::string& item_name, const std::string& item_path,
                                  uint8_t item_flag) {
    {
        auto item = slot.Fill();
        item->has_item = true;
        item->name = item_name;
        item->full_path = item_path;
        item->directory_flag = item_flag;
    }
    return slot.Offer();
}

void CTreeWalker::Shared::AnnounceEnd() {
    slot.Fill()->has_item = false;
    slot.OfferLast();  // the consumer takes the end at its own pace, or never
}

void CTreeWalker::Shared::WalkThreadProc(void* arg) {
    auto* shared = static_cast<Shared*>(arg);
    WalkTree(shared->root, *shared);
    shared->AnnounceEnd();
    // The destructor may free `shared` as soon as walk done is set: nothing touches it afterwards.
    shared->slot.FinishProducing();
}

// Without every lock and event, or without a thread, the walk is empty and already over: a hand-off
// whose waits do not wait could deliver an item twice or lose one.
CTreeWalker::CTreeWalker(const std::string& root) : shared_(new Shared(root)) {
    Shared& s = *shared_;
    if (!s.slot.Valid()) {
        s.end_seen = true;
        return;
    }
    s.slot.Reset();
    if (!s.thread.Start(Shared::WalkThreadProc, shared_)) {
        s.end_seen = true;
    }
}

CTreeWalker::~CTreeWalker() {
    if (shared_->thread.IsStarted()) {
        shared_->slot.FinishConsuming();        // the stop request
        shared_->slot.AwaitProducerFinished();  // walk done
        shared_->thread.Join();
    }
    delete shared_;
}

bool CTreeWalker::GetNext(std::string* name, std::string* full_path, uint8_t* directory_flag) {
    if (shared_->end_seen) {
        return false;  // the end stays the end; waiting again would never return
    }
    bool has_item = false;
    shared_->slot.AwaitItem();  // the walker announces its end before it finishes
    shared_->slot.Take([&](const WalkItem& item) {
        has_item = item.has_item;
        if (has_item) {
            *name = item.name;
            *full_path = item.full_path;
            *directory_flag = item.directory_flag;
        }
    });
    shared_->end_seen = !has_item;
    return has_item;
}
