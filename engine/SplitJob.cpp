#include "engine/SplitJob.h"

#include <algorithm>
#include <cerrno>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "engine/ChecksumFile.h"
#include "engine/RejoinScript.h"
#include "engine/RunningDigests.h"
#include "platform/DataCopier.h"
#include "platform/File.h"
#include "platform/IoError.h"
#include "platform/PendingFile.h"
#include "platform/WriteBack.h"

namespace {

// The script and the checksum file while they are written; a crash's leftover is removed by a
// later split into the folder.
const char* const kHiddenPrefix = ".orvanto-split.";

// Thrown at a step when the caller has asked the job to stop.
struct StopRequested {};

// A piece whose data is still on its way to the device.
struct PieceOnItsWay {
    explicit PieceOnItsWay(File piece) : file(std::move(piece)), writeBack(file) {}

    File file;
    WriteBack writeBack;
};

} // namespace

// One run of the job: the files it created, so that it can remove them again.
class SplitJob::Run {
public:
    Run(SplitJob& job, const SplitPlan& plan) : m_job(job), m_plan(plan), m_made(job.record()) {}

    // The source is opened first and the script written last, so a refusal or an unreadable
    // source leaves the folder as it was, and every file that exists is one this job made.
    SplitOutcome run(File& source) {
        // A private source gives private pieces and script.
        m_permissions = source.permissions() & File::kAllReadWrite;
        try {
            m_destination = m_plan.destination;
            m_made.setFolder(m_destination->folder().descriptor(), m_plan.destinationFolder);
            writePieces(source);
            settleLastPiece();
            refuseGrownSource(source);
            step();
            writeChecksumFile();
            // The script last: it never stands without its whole pieces and its checksum file.
            File script =
                writeNew(scriptName(m_plan.names.baseName), m_script.text(m_plan.names.targetName));
            // Every piece's size and name, the script and the checksum file reach the medium
            // (syncfs on the script, which is in the destination whatever its path now leads to).
            syncFileSystemOf(script);
            script.close();
            m_made.keepAll();
        } catch (const StopRequested&) {
            return stoppedAfterRemovingFiles();
        } catch (const IoError& error) {
            // The stop interrupted a read, a write or a wait: a stop, not a failure.
            if (error.errorNumber() == EINTR && m_job.stopRequested())
                return stoppedAfterRemovingFiles();
            throw failureAfterRemovingFiles(error);
        } catch (...) {
            removeWrittenFiles();
            throw;
        }
        return SplitCompletion{m_plan.destinationFolder,
                               m_plan.names.baseName,
                               m_plan.names.targetName,
                               m_pieceIndex,
                               m_digests ? checksumName() : std::string(),
                               m_destination->folder().whereabouts()};
    }

private:
    void writePieces(File& source) {
        const std::int64_t count = piecesWritten(m_plan.sourceSize, m_plan.splitSize);
        while (m_pieceIndex < count) {
            ++m_pieceIndex;
            writePiece(source);
            m_script.addPiece(m_plan.names.baseName, m_pieceIndex);
        }
    }

    // What the current piece holds: the split size, the rest after the last whole piece, or
    // nothing for the empty last piece.
    std::int64_t pieceSize() const {
        const std::int64_t before = (m_pieceIndex - 1) * m_plan.splitSize;
        return std::clamp<std::int64_t>(m_plan.sourceSize - before, 0, m_plan.splitSize);
    }

    // Fills the current piece, then waits until the piece before it is on the medium. Waiting
    // for each piece before writing the next would leave the device idle between pieces.
    void writePiece(File& source) {
        const std::string name = pieceName(m_plan.names.baseName, m_pieceIndex);
        auto current = std::make_unique<PieceOnItsWay>(
            made(name, [&] { return m_destination->createNew(name, m_permissions); }));
        m_job.startPiece(m_pieceIndex);
        step();
        for (std::int64_t left = pieceSize(); left > 0;) {
            const std::int64_t wanted =
                std::min(left, static_cast<std::int64_t>(RunningDigests::kBlockBytes));
            const std::int64_t copied = copyBlock(source, current->file, wanted);
            // The source ended before the size the split was checked and numbered with: pieces
            // that rejoin to a shorter file must not be reported as a finished split.
            if (copied < wanted)
                throw IoError::shrankAfterChosen(source.path(), m_sourceRead + copied,
                                                 m_plan.sourceSize);
            left -= copied;
            m_sourceRead += copied;
            m_job.addRead(copied);
            m_job.addOnMedium(current->writeBack.written(copied));
            step();
        }
        if (m_digests)
            m_digests->endPiece();
        current->writeBack.startRest();
        settleLastPiece();
        m_lastPiece = std::move(current);
    }

    // With the checksum the data passes through the digests' buffers; without, the kernel
    // copies it.
    std::int64_t copyBlock(File& source, File& piece, std::int64_t count) {
        if (m_digests)
            return static_cast<std::int64_t>(
                m_digests->copy(source, piece, static_cast<std::size_t>(count)));
        return m_copier.copy(source, piece, count);
    }

    // The job reads no further than the checked size: more bytes there would be cut off.
    void refuseGrownSource(File& source) {
        char beyond = 0;
        if (source.read(&beyond, 1) > 0)
            throw IoError::grewAfterChosen(source.path(), m_plan.sourceSize);
    }

    // Makes name through make() in the record of what this job made, which a program giving up
    // on a hung job removes; nothing is made once it gave up.
    template <typename Make> auto made(const std::string& name, Make make) -> decltype(make()) {
        if (!m_made.beginMaking(name))
            throw StopRequested{};
        try {
            auto result = make();
            m_made.made(name);
            return result;
        } catch (...) {
            m_made.gone(name);
            throw;
        }
    }

    // Written whole under a hidden name and put on the device before it takes name, where
    // nothing Windows takes for the same name stands: a cut never leaves it empty or partial
    // under its name. Returns a descriptor of it.
    File writeNew(const std::string& name, const std::string& content) {
        PendingFile file(m_destination->folder(), kHiddenPrefix, name,
                         m_destination->folder().pathOf(name), m_permissions);
        // Without unnamed files, a hidden name stands until the file takes its own.
        const std::string hidden = file.hiddenName();
        if (!hidden.empty())
            m_made.made(hidden);
        file.file().write(content.data(), content.size());
        File opened = file.file().duplicate();
        made(name, [&] {
            m_destination->publish(file, name);
            return true;
        });
        if (!hidden.empty())
            m_made.gone(hidden);
        return opened;
    }

    // Waits until the piece written last is on the medium, and closes it.
    void settleLastPiece() {
        if (!m_lastPiece)
            return;
        m_job.addOnMedium(m_lastPiece->writeBack.finish());
        m_lastPiece->file.close();
        m_lastPiece.reset();
        m_job.pieceOnMedium();
    }

    void writeChecksumFile() {
        if (!m_digests)
            return;
        writeNew(checksumName(),
                 checksum_file::text(m_digests->finish(),
                                     pieceNames(m_plan.names.baseName, m_pieceIndex),
                                     m_plan.names.targetName))
            .close();
    }

    void step() {
        if (m_job.stepEndsJob())
            throw StopRequested{};
    }

    std::string checksumName() const { return checksum_file::nameFor(m_plan.names.baseName); }

    // Only files this job created: a name that appeared meanwhile belongs to someone else.
    // Every file is tried; the first failure is reported.
    void removeWrittenFiles() {
        std::optional<IoError> failure;
        for (const std::string& name : m_made.madeNames()) {
            try {
                m_destination->folder().removeFile(name);
                m_made.gone(name);
            } catch (const IoError& error) {
                if (!failure)
                    failure = error;
            }
        }
        if (failure)
            throw *failure;
    }

    SplitStopped stoppedAfterRemovingFiles() {
        try {
            removeWrittenFiles();
        } catch (const IoError& removal) {
            return SplitStopped{removal};
        }
        return SplitStopped{};
    }

    // Pieces without their script are of no use, and they would block the next attempt.
    SplitFailure failureAfterRemovingFiles(const IoError& cause) {
        using Cleanup = SplitFailure::Cleanup;
        if (m_made.madeNames().empty())
            return SplitFailure(cause, Cleanup::NothingWritten);
        try {
            removeWrittenFiles();
        } catch (const IoError& removal) {
            return SplitFailure(cause, Cleanup::NotAllRemoved, removal);
        }
        return SplitFailure(cause, Cleanup::Removed);
    }

    SplitJob& m_job;
    const SplitPlan& m_plan;
    RejoinScript m_script;
    DataCopier m_copier;
    CreatedFiles& m_made;
    std::int64_t m_pieceIndex = 0;
    std::int64_t m_sourceRead = 0;
    unsigned m_permissions = 0;
    std::unique_ptr<RunningDigests> m_digests =
        m_plan.writeChecksum ? std::make_unique<RunningDigests>() : nullptr;
    std::unique_ptr<PieceOnItsWay> m_lastPiece;
    std::shared_ptr<const Destination> m_destination;
};

SplitJob::SplitJob(SplitRequest request) : m_request(std::move(request)) {}

SplitOutcome SplitJob::run() {
    const std::string& path = m_request.sourcePath;
    try {
        // Opened first and once: every check and every read is of this file, whatever its path
        // leads to meanwhile. Non-blocking and checked once open: a FIFO must not hang the split.
        File source = File::openRegular(path, File::Links::Follow);
        auto checked = checkSplitRequest(m_request, source);
        if (auto* refusal = std::get_if<SplitRefusal>(&checked))
            return std::move(*refusal);
        const SplitPlan& plan = std::get<SplitPlan>(checked);
        // A stop while the media were asked: nothing has been made.
        if (stopRequested())
            return SplitStopped{};
        setTotals(plan.sourceSize, piecesWritten(plan.sourceSize, plan.splitSize));
        return Run(*this, plan).run(source);
    } catch (const File::NotPlainFile&) {
        return split_refusal::NoSource{path};
    } catch (const IoError& error) {
        // The stop interrupted a question to a medium that did not answer.
        if (error.errorNumber() == EINTR && stopRequested())
            return SplitStopped{};
        if (error.path() != path || error.operation() != IoError::Operation::Open)
            throw;
        // Nothing stands there, or a link that leads nowhere.
        const int reason = error.errorNumber();
        if (reason == ENOENT || reason == ENOTDIR || reason == ELOOP)
            return split_refusal::NoSource{path};
        return SourceUnreadable{error};
    }
}
