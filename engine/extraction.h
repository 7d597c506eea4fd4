#pragma once

// The extraction pipeline: unpacks the payload (the PACK resource) into an install folder while
// the caller's user interface keeps running. A control thread starts a writer thread, which starts
// a reader thread; the reader decompresses the pack and hands every entry and every 65,536-byte
// chunk of a body to the writer through one transfer record, while the writer creates the folders
// and files. Decompressing chunk n+1 overlaps writing chunk n.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/dialogs.h"
#include "platform/progress.h"

enum class ExtractionFailureKind {
    kNone,
    kStopped,         // by the user: "OK Exit", "Exit from Setup" at a full disk, or a stop request
    kDamagedPayload,  // the payload cannot be unpacked whole; its own message tells the user
    kNoPayload,       // the program carries no payload at all
    kError,           // a file or folder could not be made, written or entered, or the like
};

// What ended a failed run first.
struct ExtractionFailure {
    ExtractionFailureKind kind = ExtractionFailureKind::kNone;
    std::string entry;   // path below the install folder, '/' between names; empty: no entry's
    std::string reason;  // what went wrong, in a few words; the system's own where it gave some
};

// Told once, on the control thread, when everything (reader, writer, any rollback) has ended.
class ExtractionListener {
  public:
    virtual ~ExtractionListener() = default;
    // Just before OnExtractionDone(0): what failed. Listeners that only need the result skip it.
    virtual void OnExtractionFailed(const ExtractionFailure& /*failure*/) {}
    // 1: the whole tree was copied; 0: failed or abandoned.
    virtual void OnExtractionDone(int result) = 0;
};

// What a failed run undoes, decided by the caller (empty: nothing). It runs on the writer thread
// once the copy has stopped and every file is closed, with the run's progress indicator (reset
// to count one step for each entry the copy handled) and its dialog host.
using ExtractionRollback =
    std::function<void(ProgressIndicator* progress, platform::DialogHost* dialogs)>;

// Everything one run uses, named by whoever starts it; all of it must live until the listener
// has been told.
struct ExtractionRequest {
    const uint8_t* payload = nullptr;  // the PACK bytes, found by the caller; null: none there
    uint32_t payload_size = 0;
    std::string install_folder;               // a full path to a folder that exists
    ProgressIndicator* progress = nullptr;    // driven by the reader; asked for a cancel
    platform::DialogHost* dialogs = nullptr;  // the questions and messages, on the writer
    ExtractionListener* listener = nullptr;   // told once, at the very end
    ExtractionRollback rollback;              // what a failed run undoes
};

// Starts the copy the request describes and returns at once; false when it names no progress
// indicator, dialog host or listener, when no thread or synchronisation object could be made, or
// when a copy is already running (nothing then happens). Nothing else may change the process's
// current folder until the listener has been told.
bool StartExtraction(ExtractionRequest request);

// Asks the running copy, if any, to stop as "OK Exit" would, without a question: the writer
// notices at its next record and fails the run, which then undoes what its rollback undoes. A run
// whose writer has already ended is not changed.
void StopExtraction();

// Waits until the last copy started has ended entirely, its listener told; returns at once when
// none runs. For a program about to end: no thread of the copy may outlive the objects it uses.
void AwaitExtractionEnd();
