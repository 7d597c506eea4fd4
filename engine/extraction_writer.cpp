// The writer thread of the extraction pipeline: creates the folders and files the reader hands
// it, below the install folder, and ends the run.
//
// Nothing is ever created, written or entered outside the install folder. Names were checked by
// the reader; here the writer also never enters a symbolic link (or other reparse point), never
// climbs above the install folder, and replaces a link that stands where a payload file goes
// instead of writing through it.

#include "engine/extraction_run.h"
#include "engine/pack_format.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "res/resource_ids.h"
#include "uninstall/install_folder_removal.h"

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
    void CloseFile();
    void End();
    void RollBack();
    // ok = 0 and abort; the first failure is the one reported.
    void Fail(const std::string& entry, const std::string& reason);
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
    run_.chunks = CChunkBuffer::Create(kPackChunkSize);
    if (run_.chunks == nullptr) {
        Fail("", "no memory for the chunk buffer");
        return false;
    }
    if (!run_.reader_thread.Start(ReaderThreadProc, &run_)) {
        Fail("", "the reader thread could not be started");
        return false;
    }
    reader_started_ = true;
    if (FsError error = platform::SetCurrentFolder(run_.install_folder); error != FsError::kOk) {
        Fail("", std::string("cannot enter the install folder: ") + DescribeFsError(error));
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

// Creates the folder if needed (any refusal but "already exists" asks the disk-full question,
// and Retry tries again), then enters it: only a real folder is entered, never a link or a file
// of that name, so the current folder never leaves the install folder's tree. A folder this
// call has just created is one; only a name that already stood there is looked at (under wine
// the look costs a handful of round trips to wineserver, for each of a first copy's folders).
void Writer::EnterFolder(const std::string& name) {
    FsError error;
    for (;;) {
        error = platform::CreateFolder(name);
        if (error == FsError::kOk || error == FsError::kAlreadyExists) {
            break;
        }
        if (platform::ShowDialog(IDD_DISK_FULL) != platform::kDialogOk) {
            Fail(path_.Of(name),
                 std::string("cannot create the folder: ") + DescribeFsError(error));
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
        Fail(path_.Of(name), std::string("cannot enter the folder: ") + DescribeFsError(error));
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
             std::string("cannot leave the folder: ") + DescribeFsError(error));
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
        if (ExitConfirmed()) {
            Fail(path_.Of(file_name_), "cancelled by the user");
            break;  // the chunk just taken is not written
        }
    }
    CloseFile();
    return true;
}

// A link where a payload file goes is removed (the link, never what it points to) and a plain
// file written in its place: a file entry replaces whatever stood under its name, and writing
// through the link would put the payload outside the install folder. A link that cannot be
// removed this way (a folder junction on Windows) fails the run. The name is looked at only when
// the creation failed: in an empty folder that never happens, and each look costs time.
bool Writer::CreateOutputFile(const std::string& name) {
    bool link_removed = false;
    for (;;) {
        const FsError error = file_.Create(name);
        if (error == FsError::kOk) {
            return true;
        }
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
                Fail(path_.Of(name), std::string("is a symbolic link that cannot be replaced: ") +
                                         DescribeFsError(removal));
                return false;
            }
            link_removed = true;
            continue;
        }
        if (!platform::IsOutOfSpace(error) ||
            platform::ShowDialog(IDD_DISK_FULL) != platform::kDialogOk) {
            FailFile("cannot create the file", error);
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
        if (!platform::IsOutOfSpace(error) ||
            platform::ShowDialog(IDD_DISK_FULL) != platform::kDialogOk) {
            FailFile("cannot write the file", error);
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
    if (!run_.indicator->CancelRequested()) {
        return false;
    }
    if (platform::ShowDialog(IDD_EXIT_INSTALL) == platform::kDialogOk) {
        return true;
    }
    run_.indicator->ClearCancelRequest();
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
    // A run the reader failed (the writer itself had no fault: no cancel, no full disk given up)
    // met a damaged payload; nothing else would tell the user, so the writer does.
    if (!ok_ && run_.failure.reason.empty() && reader_started_ && run_.reader_result == 0) {
        platform::ShowDialog(IDD_DAMAGED_PAYLOAD);
    }
    if (!ok_ && run_.rollback) {
        RollBack();
    }
    // The install folder must not stay the current folder: Windows cannot remove a folder that
    // is some process's current folder.
    if (restore_folder_) {
        platform::SetCurrentFolder(starting_folder_);
    }
    if (!ok_ && run_.failure.reason.empty()) {
        run_.failure = run_.reader_failure;
    }
    run_.extraction_result = ok_ ? 1 : 0;
    run_.extraction_done.Set();
}

void Writer::RollBack() {
    run_.indicator->SetTotal(run_.entries_handled);
    run_.indicator->Reset();
    RemoveInstallFolder(run_.install_folder);
}

void Writer::Fail(const std::string& entry, const std::string& reason) {
    if (run_.failure.reason.empty()) {
        run_.failure = {entry, reason};
    }
    ok_ = false;
    abort_ = true;
}

void Writer::FailFile(const std::string& what, FsError error) {
    Fail(path_.Of(file_name_), what + ": " + DescribeFsError(error));
}

}  // namespace

void WriterThreadProc(void* arg) {
    Writer(*static_cast<ExtractionRun*>(arg)).Run();
}
