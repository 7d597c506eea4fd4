#pragma once

// The extraction pipeline: unpacks the payload (the PACK resource) into an install folder while
// the caller's user interface keeps running. A control thread starts a writer thread, which starts
// a reader thread; the reader decompresses the pack and hands every entry and every 65,536-byte
// chunk of a body to the writer through one transfer record, while the writer creates the folders
// and files. Decompressing chunk n+1 overlaps writing chunk n.

#include <string>

// What ended a failed run first.
struct ExtractionFailure {
    std::string entry;   // path below the install folder, '/' between names; empty: no entry's
    std::string reason;  // what went wrong, in a few words
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

// Starts the copy into `install_folder` (a full path to a folder that exists) and returns at once;
// false when no thread or synchronisation object could be made, no progress indicator is current,
// or a copy is already running (nothing then happens). `rollback`: remove what was installed if the
// copy fails (a first installation). The current progress indicator must live for the whole run,
// and nothing else may change the process's current folder until the listener has been told.
bool StartExtraction(const std::string& install_folder, bool rollback,
                     ExtractionListener* listener);
