// The writer thread of the extraction pipeline: creates the folders and files the reader hands
// it, below the install folder, and ends the run.
//
// Nothing is ever created, written or entered outside the install folder. Names were checked by
// the reader; here the writer also never enters a symbolic link (or other reparse point), never
// climbs above the install folder, and never writes through a link that stands where a payload
// file goes.

#include "engine/copy_failure_message.h"
#include "engine/extraction_run.h"
#include "engine/pack_format.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "res/resource_ids.h"

namespace {

using platform::FsError;

class Writer {
  public:
    explicit Writer(ExtractionRun& run) : run_(run) {}

    // The whole of the writer's part: set-up, copy, end, rollback. Sets extraction done last.
    void Run();

  private:
    bool SetUp();
    void CopyEntries();
    void TakeRecord(TransferRecord* into);
    void TakeChunk(TransferRecord* into);
    void HandleFolderEntry(const TransferRecord& record);
    void EnterFolder(const std::string& name);
    void LeaveFolder();
    bool HandleFile(TransferRecord& record);
    bool CreateOutputFile(const std::string& name);
    void WriteChunk(const TransferRecord& record, uint64_t* offset);
    void WriteWithRetry(const uint8_t* data, uint32_t count, uint64_t offset);
    bool ExitConfirmed();
    bool Stopped();
    bool RetryWhenOutOfSpace(const std::string& entry, const char* what, FsError error);
    void CloseFile();
    void End();
    void TellFailure();
    void RollBack();
    // ok = 0 and abort; the first failure is the one reported.
    void Fail(const std::string& entry, const std::string& reason,
              ExtractionFailureKind kind = ExtractionFailureKind::kError);
    // A file-system call on the current file failed with `error` just now.
    void FailFile(const std::string& what, FsError error);

    ExtractionRun& run_;
    bool ok_ = true;
    bool abort_ = false;
    bool reader_started_ = false;
    bool restore_folder_ = false;
    std::string starting_folder_;  // the current folder before the run, put back at its end
    EntryPath path_;               // of the current folder
    std::string file_name_;        // of the file being written
    platform::OutputFile file_;
};

void Writer::Run() {
    if (SetUp()) {
        CopyEntries();
    }
    End();
}

bool Writer::SetUp() {
    restore_folder_ = platform::GetCurrentFolder(&starting_folder_);
    run_.record.Reset();
    run_.extraction_done.Reset();
    if (!run_.reader_thread.Start(ReaderThreadProc, &run_)) {
        Fail("", "the reader thread could not be started");
        return false;
    }
    reader_started_ = true;
    if (FsError error = platform::SetCurrentFolder(run_.request.install_folder);
        error != FsError::kOk) {
        Fail("", std::string("cannot enter the install folder: ") + DescribeFsFailure(error));
        return false;
    }
    return true;
}

void Writer::CopyEntries() {
    TransferRecord record;
    for (;;) {
        if (!run_.record.AwaitItem()) {  // reader finished
            ok_ = run_.reader_result == 1;
            return;
        }
        TakeRecord(&record);
        if (Stopped()) {
            return;  // the entry just taken is not handled
        }
        if (record.folder) {
            HandleFolderEntry(record);
        } else if (!HandleFile(record)) {
            return;  // a file that could not be created is not counted
        }
        ++run_.entries_handled;
        if (abort_) {
            return;
        }
    }
}

void Writer::TakeRecord(TransferRecord* into) {
    run_.record.Take([into](const TransferRecord& record) { *into = record; });
}

void Writer::TakeChunk(TransferRecord* into) {
    run_.record.Take([into](const TransferRecord& record) {
        into->count = record.count;
        into->last_chunk = record.last_chunk;
    });
}

void Writer::HandleFolderEntry(const TransferRecord& record) {
    if (record.name == kPackUpName) {
        LeaveFolder();
    } else {
        EnterFolder(record.name);
    }
}

// Creates the folder if needed (a full disk or directory asks the disk-full question, and Retry
// tries again; any other refusal fails the run), then enters it: only a real folder is entered,
// never a link or a file of that name, so the current folder never leaves the install folder's
// tree. A folder this call has just created is one; only a name that already stood there is
// looked at (under wine the look costs a handful of round trips to wineserver, for each of a
// first copy's folders).
void Writer::EnterFolder(const std::string& name) {
    FsError error;
    for (;;) {
        error = platform::CreateFolder(name);
        if (error == FsError::kOk || error == FsError::kAlreadyExists) {
            break;
        }
        if (!platform::IsOutOfSpace(error)) {
            Fail(path_.Of(name),
                 std::string("cannot create the folder: ") + DescribeFsFailure(error));
            return;
        }
        if (!RetryWhenOutOfSpace(path_.Of(name), "cannot create the folder", error)) {
            return;
        }
    }
    const platform::PathKind kind =
        error == FsError::kOk ? platform::PathKind::kFolder : platform::QueryPathKind(name);
    if (kind == platform::PathKind::kLink) {
        Fail(path_.Of(name), "is a symbolic link; links are never entered");
        return;
    }
    if (kind != platform::PathKind::kFolder) {
        Fail(path_.Of(name), "cannot be entered: a file of that name is in the way");
        return;
    }
    if (FsError error = platform::SetCurrentFolder(name); error != FsError::kOk) {
        Fail(path_.Of(name), std::string("cannot enter the folder: ") + DescribeFsFailure(error));
        return;
    }
    path_.Enter(name);
}

void Writer::LeaveFolder() {
    // The reader refuses such a pack before handing anything over; the writer holds the line too.
    if (path_.depth() == 0) {
        Fail(path_.Of(kPackUpName), "up entry climbs above the install folder");
        return;
    }
    if (FsError error = platform::SetCurrentFolder(std::string(kPackUpName));
        error != FsError::kOk) {
        Fail(path_.Of(kPackUpName),
             std::string("cannot leave the folder: ") + DescribeFsFailure(error));
        return;
    }
    path_.Leave();
}

// The record already carries the file's first chunk. False when the file could not be created.
bool Writer::HandleFile(TransferRecord& record) {
    file_name_ = record.name;
    if (!CreateOutputFile(record.name)) {
        return false;
    }
    uint64_t offset = 0;
    for (;;) {
        WriteChunk(record, &offset);
        if (abort_ || record.last_chunk) {
            break;
        }
        if (!run_.record.AwaitItem()) {  // reader finished
            ok_ = run_.reader_result == 1;
            abort_ = true;
            break;
        }
        TakeChunk(&record);
        if (Stopped() || ExitConfirmed()) {
            break;  // the chunk just taken is not written
        }
    }
    CloseFile();
    return true;
}

// A link where a payload file goes is never written through, which would put the payload outside
// the install folder. Where the platform can remove the link itself (POSIX), it goes and a plain
// file is written in its place, as a file entry replaces whatever stood under its name; where it
// cannot tell the link from its target (Win32 deletes the target; under wine a link to a file
// looks like a file), or where a name's real place cannot be read, the run fails and says so. The
// name is looked at only when the creation failed: in an empty folder that never happens, and
// each look costs time.
bool Writer::CreateOutputFile(const std::string& name) {
    bool link_removed = false;
    for (;;) {
        const FsError error = file_.Create(name);
        if (error == FsError::kOk) {
            return true;
        }
        const std::string words = DescribeFsFailure(error);  // before other calls note theirs
        const platform::PathKind kind = platform::QueryPathKind(name);
        if (kind == platform::PathKind::kSpecial || kind == platform::PathKind::kFolder) {
            Fail(path_.Of(name), kind == platform::PathKind::kFolder
                                     ? "cannot be created: a folder of that name is in the way"
                                     : "is not a regular file (a pipe, a device or a socket) and "
                                       "is never opened");
            return false;
        }
        if (kind == platform::PathKind::kLink && !link_removed) {
            if (FsError removal = platform::RemoveFile(name); removal != FsError::kOk) {
                Fail(path_.Of(name),
                     std::string("is a symbolic link, or a name whose real place cannot be read, "
                                 "and is never written through or replaced: ") +
                         DescribeFsFailure(removal));
                return false;
            }
            link_removed = true;
            continue;
        }
        if (!platform::IsOutOfSpace(error)) {
            Fail(path_.Of(name), "cannot create the file: " + words);
            return false;
        }
        if (!RetryWhenOutOfSpace(path_.Of(name), "cannot create the file", error)) {
            return false;
        }
    }
}

void Writer::WriteChunk(const TransferRecord& record, uint64_t* offset) {
    const uint8_t* half = run_.chunks->BeginDrain();
    if (record.count > 0) {
        WriteWithRetry(half, static_cast<uint32_t>(record.count), *offset);
    }
    run_.chunks->EndDrain();
    *offset += static_cast<uint32_t>(record.count);
}

// A disk or directory that is full (a short write included) asks whether to retry. A write that
// failed may have left part of the chunk in the file, so the retry starts again at the chunk's
// first byte in the file.
void Writer::WriteWithRetry(const uint8_t* data, uint32_t count, uint64_t offset) {
    for (;;) {
        uint32_t written = 0;
        const FsError error = file_.Write(data, count, &written);
        if (error == FsError::kOk) {
            return;
        }
        if (!platform::IsOutOfSpace(error)) {
            FailFile("cannot write the file", error);
            return;
        }
        if (!RetryWhenOutOfSpace(path_.Of(file_name_), "cannot write the file", error)) {
            return;
        }
        if (FsError seek = file_.Seek(offset); seek != FsError::kOk) {
            FailFile("cannot go back in the file to retry", seek);
            return;
        }
    }
}

// The user's click on the indicator is answered here, between two chunks of one file.
bool Writer::ExitConfirmed() {
    if (!run_.request.progress->CancelRequested()) {
        return false;
    }
    if (run_.request.dialogs->Show(IDD_EXIT_INSTALL) == platform::kDialogOk) {
        Fail(path_.Of(file_name_), "cancelled by the user", ExtractionFailureKind::kStopped);
        return true;
    }
    run_.request.progress->ClearCancelRequest();
    return false;
}

// A stop request (the program is ending) is taken at every record, with no question.
bool Writer::Stopped() {
    if (!ExtractionStopRequested()) {
        return false;
    }
    Fail("", "stopped: the program is ending", ExtractionFailureKind::kStopped);
    return true;
}

// A full disk or directory: true when the user chose "Retry"; "Exit from Setup" fails the run,
// and the user needs no further word on it.
bool Writer::RetryWhenOutOfSpace(const std::string& entry, const char* what, FsError error) {
    if (Stopped()) {
        return false;  // the program is ending: nobody is asked
    }
    if (run_.request.dialogs->Show(IDD_DISK_FULL) == platform::kDialogOk) {
        return true;
    }
    Fail(entry, std::string(what) + ": " + DescribeFsError(error), ExtractionFailureKind::kStopped);
    return false;
}

// A failed close may have lost data the system held back, so it fails a run that was going well.
void Writer::CloseFile() {
    const FsError error = file_.Close();
    if (error != FsError::kOk && ok_) {
        FailFile("cannot close the file", error);
    }
}

void Writer::End() {
    run_.record.FinishConsuming();  // writer finished
    if (reader_started_) {
        run_.record.AwaitProducerFinished();
        run_.reader_thread.Join();
    }
    run_.chunks.reset();
    // A stop asked for before the writer ended wins over a copy that has just finished: the
    // program is ending, and a first installation must not be left unregistered.
    if (ok_ && ExtractionStopRequested()) {
        Fail("", "stopped: the program is ending", ExtractionFailureKind::kStopped);
    }
    if (!ok_ && run_.failure.reason.empty()) {
        run_.failure = run_.reader_failure;  // the writer itself had no fault: the reader failed
    }
    if (!ok_) {
        TellFailure();
    }
    if (!ok_ && run_.request.rollback) {
        RollBack();
    }
    // The install folder must not stay the current folder: Windows cannot remove a folder that
    // is some process's current folder.
    if (restore_folder_) {
        platform::SetCurrentFolder(starting_folder_);
    }
    run_.extraction_result = ok_ ? 1 : 0;
    run_.extraction_done.Set();
}

// Every failure is told, once: one the user chose (a stop, "OK Exit", "Exit from Setup") needs
// no word; a damaged payload has its own message; anything else is named with its reason.
void Writer::TellFailure() {
    switch (run_.failure.kind) {
        case ExtractionFailureKind::kNone:
        case ExtractionFailureKind::kStopped:
            break;
        case ExtractionFailureKind::kDamagedPayload:
            run_.request.dialogs->Show(IDD_DAMAGED_PAYLOAD);
            break;
        case ExtractionFailureKind::kNoPayload:
        case ExtractionFailureKind::kError:
            run_.request.dialogs->ShowMessage(
                IDD_INSTALL_ERROR, CopyFailureMessage(run_.request.install_folder, run_.failure));
            break;
    }
}

void Writer::RollBack() {
    run_.request.progress->SetTotal(run_.entries_handled);
    run_.request.progress->Reset();
    run_.request.rollback(run_.request.progress, run_.request.dialogs);
}

void Writer::Fail(const std::string& entry, const std::string& reason, ExtractionFailureKind kind) {
    if (run_.failure.reason.empty()) {
        run_.failure = {kind, entry, reason};
    }
    ok_ = false;
    abort_ = true;
}

void Writer::FailFile(const std::string& what, FsError error) {
    Fail(path_.Of(file_name_), what + ": " + DescribeFsFailure(error));
}

}  // namespace

void WriterThreadProc(void* arg) {
    Writer(*static_cast<ExtractionRun*>(arg)).Run();
}
