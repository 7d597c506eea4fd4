#pragma once

// The state of one extraction run, shared by its control, writer and reader threads, and the
// small helpers they have in common. Internal to the pipeline (engine/extraction*.cpp).

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/chunk_buffer.h"
#include "engine/extraction.h"
#include "platform/fs_error.h"
#include "platform/hand_off.h"
#include "platform/sync.h"
#include "platform/thread.h"

// The one slot through which the reader hands work to the writer.
struct TransferRecord {
    std::string name;         // the entry's name as this host spells it
    int32_t count = 0;        // folder or up entry: its size field; file: bytes of the chunk filled
    bool folder = false;      // the sign bit of the entry's size field
    bool last_chunk = false;  // the final chunk of a file body
};

struct ExtractionRun {
    // The request, set by StartExtraction and never changed: the payload, the install folder
    // (full path; the writer's first current folder), the indicator, the dialog host, the
    // listener (told on the control thread at the very end) and the rollback.
    ExtractionRequest request;

    // The hand-over, reader to writer. The record is its slot, guarded by the record lock;
    // record ready and record taken pace every entry and chunk; reader finished and writer
    // finished (the producer's and the consumer's end) end the other side's waits.
    platform::HandOff<TransferRecord> record;
    platform::Event
        extraction_done;  // writer, as its very last act; ends the control thread's wait
    std::unique_ptr<CChunkBuffer> chunks;  // made with the run, freed by the writer at its end

    uint32_t entries_handled = 0;      // records the writer has processed (writer only)
    int reader_result = 0;             // 1: the reader walked the pack (or found nothing to copy)
    ExtractionFailure reader_failure;  // why the reader gave up; read after reader finished
    int extraction_result = 0;         // 1 success, 0 failure; read after extraction done
    ExtractionFailure failure;         // what failed first; read after extraction done

    platform::Thread writer_thread;  // started by the control thread
    platform::Thread reader_thread;  // started by the writer

    // Every lock and event of the hand-over and the chunk buffer were made: without one, a wait
    // would not wait and the record or a half could be overwritten before it was taken.
    bool ObjectsMade() const {
        return record.Valid() && extraction_done.Valid() && chunks != nullptr && chunks->Valid();
    }
};

// Set by StopExtraction for the run going on.
bool ExtractionStopRequested();

void ExtractionThreadProc(void* run);
void WriterThreadProc(void* run);
void ReaderThreadProc(void* run);

// The path of the current folder below the install folder, for messages: names joined by '/',
// each made printable.
class EntryPath {
  public:
    void Enter(std::string_view host_name);
    void Leave();
    int depth() const { return static_cast<int>(starts_.size()); }
    // The path of `host_name` in the current folder.
    std::string Of(std::string_view host_name) const;

  private:
    std::string path_;            // "" or "a/b/"
    std::vector<size_t> starts_;  // path_'s length before each folder entered
};

// A pack name (code page 1252 bytes) as this host's file names spell it.
std::string HostName(std::string_view pack_name);

// A few words for a file-system failure, for messages.
const char* DescribeFsError(platform::FsError error);
// The words for the failure `error` that a file call of this thread has just reported: the
// system's own where it gave a code for it, else DescribeFsError's.
std::string DescribeFsFailure(platform::FsError error);
