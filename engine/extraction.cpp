// The extraction pipeline.
//
// One run at a time, described whole by its request (engine/extraction.h): the payload, the
// install folder, the indicator, the dialog host, the listener and the rollback. Three threads
// per run. The control thread (ExtractionThreadProc) starts the writer, waits for extraction done
// and tells the listener. The writer (WriterThreadProc, extraction_writer.cpp) starts the reader,
// makes the install folder current and then creates every folder and file the reader hands it,
// moving the process's current folder down and up the tree; it asks the disk-full and exit
// questions, tells any other failure, and undoes a failed run as the request says. The reader
// (ReaderThreadProc, extraction_reader.cpp) opens the payload, checks the whole directory before
// anything is handed over, drives the progress indicator and passes each entry, and each chunk of
// a body, through the transfer record; the body bytes themselves travel through the two halves
// of the chunk buffer, so decompressing chunk n+1 overlaps writing chunk n.
//
// Invariant: one record in flight: filled only after record taken, read only after record ready.
//
// Order of one hand-off: the reader fills (half, then lock), sets record ready and waits for
// record taken or writer finished; the writer waits for record ready or reader finished, resets
// ready, copies the record under the lock and sets taken before it writes. Each wait also wakes
// on the other side's end, so a stop on either side never deadlocks; no thread holds a half or
// the lock while it waits for an event.
//
// All of a run's state lives in one ExtractionRun, made by StartExtraction (with every sync object
// and the chunk buffer, all checked before any thread starts) and freed by the control thread once
// the writer (which joins the reader) has ended.

#include "engine/extraction.h"

#include <atomic>
#include <new>

#include "engine/extraction_run.h"
#include "engine/pack_format.h"

namespace {

// One run at a time: the run leans on the process-wide current folder.
std::atomic<bool> g_running{false};
std::atomic<bool> g_stop_requested{false};  // for the run going on; cleared by each start
platform::Thread g_control;                 // of the last run started; joined by the next start

}  // namespace

bool ExtractionStopRequested() {
    return g_stop_requested.load();
}

void ExtractionThreadProc(void* arg) {
    auto* run = static_cast<ExtractionRun*>(arg);
    run->entries_handled = 0;
    run->extraction_done.Reset();
    if (run->writer_thread.Start(WriterThreadProc, run)) {
        run->extraction_done.Wait();
        run->writer_thread.Join();
    } else {
        // No thread for the writer: its work runs here, so the run still fails, rolls back and
        // reports like any other.
        WriterThreadProc(run);
    }
    ExtractionListener* listener = run->request.listener;
    const int result = run->extraction_result;
    const ExtractionFailure failure = run->failure;
    delete run;
    g_running.store(false);
    if (result == 0) {
        listener->OnExtractionFailed(failure);
    }
    listener->OnExtractionDone(result);
}

bool StartExtraction(ExtractionRequest request) {
    if (request.listener == nullptr || request.progress == nullptr || request.dialogs == nullptr ||
        g_running.exchange(true)) {
        return false;
    }
    AwaitExtractionEnd();  // the last run has told its listener; its thread is about to end
    g_stop_requested.store(false);
    auto* run = new (std::nothrow) ExtractionRun;
    if (run != nullptr) {
        run->chunks = CChunkBuffer::Create(kPackChunkSize);
    }
    if (run == nullptr || !run->ObjectsMade()) {
        delete run;
        g_running.store(false);
        return false;
    }
    run->request = std::move(request);
    if (!g_control.Start(ExtractionThreadProc, run)) {
        delete run;
        g_running.store(false);
        return false;
    }
    return true;
}

void StopExtraction() {
    if (g_running.load()) {
        g_stop_requested.store(true);
    }
}

void AwaitExtractionEnd() {
    if (g_control.IsStarted()) {
        g_control.Join();
    }
}
