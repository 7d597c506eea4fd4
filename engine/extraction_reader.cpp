// The reader thread of the extraction pipeline: opens the payload the request names through the
// memory gzip stream, checks the directory, and hands every entry and every chunk of a body to
// the writer.

#include "engine/extraction_run.h"
#include "engine/pack_names.h"
#include "engine/pack_reader.h"

namespace {

enum class Step {
    kGoOn,
    kWriterFinished,  // the writer has left its loop: stop at once
    kFailed,
};

class Reader {
  public:
    explicit Reader(ExtractionRun& run) : run_(run) {}

    // The reader result: 1 when the pack was walked and its stream reached a clean end (every
    // gzip member's checksum matched, nothing followed), or the writer stopped the walk; 0 with
    // a failure recorded. A stream that is not a whole, intact pack is never a finished copy.
    int Run();

  private:
    // 1 or 0 as Run; -1 when there are entries to walk.
    int OpenPack();
    bool CheckDirectory();
    Step HandOverEntry(const PackEntry& entry);
    Step HandOverFile(const PackEntry& entry);
    Step HandOver();
    bool CheckStreamEnd();
    void Fail(const std::string& entry, const std::string& reason,
              ExtractionFailureKind kind = ExtractionFailureKind::kDamagedPayload);

    ExtractionRun& run_;
    PackReader pack_;
    EntryPath path_;         // of the entry being handed over
    std::string host_name_;  // the entry's name, converted outside the record lock
};

int Reader::Run() {
    if (int result = OpenPack(); result >= 0) {
        return result;
    }
    if (!CheckDirectory()) {
        return 0;
    }
    run_.request.progress->Reset();
    run_.request.progress->SetTotal(pack_.ProgressTotal());
    for (int32_t i = 0; i < pack_.EntryCount(); ++i) {
        switch (HandOverEntry(pack_.Entry(i))) {
            case Step::kGoOn:
                break;
            case Step::kWriterFinished:
                return 1;  // the writer decides the run's result
            case Step::kFailed:
                return 0;
        }
    }
    return CheckStreamEnd() ? 1 : 0;
}

int Reader::OpenPack() {
    const ExtractionRequest& request = run_.request;
    if (!CarriesPayload(request.payload, request.payload_size)) {
        Fail("", "the PACK resource is missing", ExtractionFailureKind::kNoPayload);
        return 0;
    }
    switch (const PackStatus status = pack_.Open(request.payload, request.payload_size)) {
        case PackStatus::kOk:
            return -1;
        case PackStatus::kWrongMagic:
            Fail("", pack_.StreamEnd() == PackStreamEnd::kDataError
                         ? "data error: the gzip stream is damaged before the pack begins"
                         : PackStatusMessage(status));
            return 0;
        case PackStatus::kEmptyDirectory:
            if (pack_.DirectoryByteCount() != 0) {
                Fail("", "stream ends inside the directory");
                return 0;
            }
            return CheckStreamEnd() ? 1 : 0;  // an empty tree: nothing to write
        default:
            // A stream that cannot be opened, a directory cut short or too large to hold:
            // entries that never arrived must not be walked.
            Fail("", PackStatusMessage(status));
            return 0;
    }
}

// Every name and the walk's depth are checked before the first entry is handed over, so a
// hostile pack creates nothing at all: no name may lead out of the folder it is created in, and
// no up entry may climb out of the install folder.
bool Reader::CheckDirectory() {
    EntryPath path;
    for (int32_t i = 0; i < pack_.EntryCount(); ++i) {
        const PackEntry entry = pack_.Entry(i);
        const std::string where = path.Of(HostName(entry.Name()));
        if (NameFault fault = CheckEntryName(entry); fault != NameFault::kNone) {
            Fail(where, NameFaultMessage(fault));
            return false;
        }
        if (entry.Kind() == PackEntryKind::kFolder) {
            path.Enter(HostName(entry.Name()));
        } else if (entry.Kind() == PackEntryKind::kUp) {
            if (path.depth() == 0) {
                Fail(where, WalkFaultMessage(WalkFault::kAboveInstallFolder));
                return false;
            }
            path.Leave();
        }
    }
    return true;
}

Step Reader::HandOverEntry(const PackEntry& entry) {
    host_name_ = HostName(entry.Name());
    if (entry.Kind() == PackEntryKind::kFile) {
        return HandOverFile(entry);
    }
    {
        auto record = run_.record.Fill();
        record->name = host_name_;
        record->count = entry.SizeField();
        record->folder = true;
        record->last_chunk = false;
    }
    if (entry.Kind() == PackEntryKind::kFolder) {
        path_.Enter(host_name_);
    } else {
        path_.Leave();
    }
    return HandOver();
}

// The body goes in chunks of the buffer's capacity. A chunk shorter than that is the last: a body
// of a multiple of the capacity ends with an empty chunk. A body the stream cut short (or a data
// error) fails the run at once, before the short chunk is handed over: the stream has nothing
// more to give, and every later file would only be created empty, over an installed one on a
// reinstall.
Step Reader::HandOverFile(const PackEntry& entry) {
    CChunkBuffer& chunks = *run_.chunks;
    int32_t remaining = entry.SizeField();
    {
        auto record = run_.record.Fill();
        record->name = host_name_;
        record->folder = false;
    }
    for (;;) {
        uint8_t* half = chunks.BeginFill();
        auto record = run_.record.Fill();
        const int32_t wanted = remaining < static_cast<int32_t>(chunks.capacity())
                                   ? remaining
                                   : static_cast<int32_t>(chunks.capacity());
        const int got = pack_.ReadBody(half, static_cast<uint32_t>(wanted));
        chunks.EndFill();
        // A short read (the stream ended, or met a data error: a negative count) never reaches
        // the writer or the indicator.
        if (got < wanted) {
            record.Release();
            Fail(path_.Of(host_name_),
                 pack_.StreamEnd() == PackStreamEnd::kDataError
                     ? "data error in the body: the pack is corrupt"
                     : "the stream ends inside the body: the pack is cut short");
            return Step::kFailed;
        }
        record->count = got;
        run_.request.progress->Advance(static_cast<uint32_t>(got));
        remaining -= got;
        const bool last = got != static_cast<int>(chunks.capacity());
        record->last_chunk = last;
        record.Release();
        if (Step step = HandOver(); step != Step::kGoOn || last) {
            return step;
        }
    }
}

Step Reader::HandOver() {
    return run_.record.Offer() ? Step::kGoOn : Step::kWriterFinished;
}

// One more read after the last body: it must find the end of the data, which makes the stream
// check the gzip trailer when the bodies took every byte, and that end must be clean, with every
// member's length field right. A byte there means data the directory does not account for; a
// CRC or length mismatch means some body was corrupt; a stream cut before its trailer was never
// whole.
bool Reader::CheckStreamEnd() {
    uint8_t unused = 0;
    if (pack_.ReadBody(&unused, 1) > 0) {
        Fail("", "data follows the last body: the pack is damaged");
        return false;
    }
    uint32_t stored = 0;
    uint32_t actual = 0;
    switch (pack_.StreamEnd()) {
        case PackStreamEnd::kClean:
            if (!pack_.LengthFieldsMatch(&stored, &actual)) {
                Fail("", "a gzip length field (" + std::to_string(stored) +
                             ") does not match its data (" + std::to_string(actual) +
                             " bytes): the pack is damaged");
                return false;
            }
            return true;
        case PackStreamEnd::kDataError:
            Fail("", "data error: the pack's checksum does not match or is cut off");
            return false;
        case PackStreamEnd::kTruncated:
            break;
    }
    Fail("", "the stream ends before its gzip trailer: the pack is cut short or not gzip");
    return false;
}

void Reader::Fail(const std::string& entry, const std::string& reason, ExtractionFailureKind kind) {
    run_.reader_failure = {kind, entry, reason};
}

}  // namespace

void ReaderThreadProc(void* arg) {
    auto* run = static_cast<ExtractionRun*>(arg);
    int result;
    {
        Reader reader(*run);  // releases the directory and closes the stream before the end
        result = reader.Run();
    }
    run->reader_result = result;
    run->record.FinishProducing();  // reader finished
}
