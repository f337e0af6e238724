#include "engine/SplitJob.h"

#include <algorithm>
#include <array>
#include <optional>

#include "engine/Progress.h"
#include "engine/RejoinScript.h"
#include "engine/SplitHost.h"
#include "platform/File.h"
#include "platform/FileSystem.h"
#include "platform/IoError.h"
#include "platform/Paths.h"

namespace {

bool g_running = false;
bool g_stopRequested = false;

// Thrown at a yield point when the caller has asked the job to stop.
struct StopRequested {};

// Marks a job as running for its whole length, whichever way it ends.
class RunningMark {
public:
    RunningMark() {
        g_running = true;
        g_stopRequested = false;
    }
    ~RunningMark() {
        g_running = false;
        g_stopRequested = false;
    }
    RunningMark(const RunningMark&) = delete;
    RunningMark& operator=(const RunningMark&) = delete;
};

class SplitRun {
public:
    SplitRun(const SplitPlan& plan, SplitHost& host) : m_plan(plan), m_host(host) {}

    // The source is opened first and the script written last, so a refusal or an unreadable
    // source leaves the folder as it was, and every file that exists is one this job made.
    SplitOutcome run() {
        std::optional<File> source;
        try {
            // Non-blocking and checked once open: a FIFO swapped in must not hang the split.
            source = File::openRegular(m_plan.sourcePath, File::Links::Follow);
            // A private source gives private pieces and script.
            m_permissions = source->permissions() & 0666;
        } catch (const IoError& problem) {
            SplitOutcome unreadable = outcome(SplitOutcome::Kind::SourceUnreadable);
            unreadable.sourceProblem = problem.what();
            return unreadable;
        }
        try {
            writePieces(*source);
            m_script.write(
                paths::joined(m_plan.destinationFolder, scriptName(m_plan.names.baseName)),
                m_plan.names.targetName, m_permissions);
        } catch (const StopRequested&) {
            removeWrittenPieces();
            return outcome(SplitOutcome::Kind::Stopped);
        } catch (const IoError& error) {
            throw failureAfterRemovingPieces(error);
        } catch (...) {
            removeWrittenPieces();
            throw;
        }
        SplitOutcome completed = outcome(SplitOutcome::Kind::Completed);
        completed.completion = {m_plan.destinationFolder, m_plan.names.baseName,
                                m_plan.names.targetName, m_pieceIndex};
        return completed;
    }

private:
    static SplitOutcome outcome(SplitOutcome::Kind kind) {
        SplitOutcome result;
        result.kind = kind;
        return result;
    }

    void writePieces(File& source) {
        bool exhausted = false;
        while (!exhausted) {
            ++m_pieceIndex;
            exhausted = writePiece(source);
            m_script.addPiece(m_plan.names.baseName, m_pieceIndex);
        }
    }

    // Fills the current piece; true when the source ran out inside it.
    bool writePiece(File& source) {
        File piece = File::createNew(piecePath(m_pieceIndex), m_permissions);
        m_createdPieces = m_pieceIndex;
        m_host.setProgressText("");
        m_host.showProgress();
        m_shownPercent = -1;
        yieldToHost();

        std::int64_t pieceBytes = 0;
        std::int64_t remaining = m_plan.splitSize;
        std::size_t lastRead = 0;
        do {
            lastRead = copyBlock(source, piece, kBlockSize);
            pieceBytes += static_cast<std::int64_t>(lastRead);
            remaining = m_plan.splitSize - pieceBytes;
            showPercent();
            yieldToHost();
        } while (lastRead > 0 && remaining >= kBlockSize);
        // The rest of a piece that is not a whole number of blocks.
        if (lastRead > 0 && remaining > 0)
            lastRead = copyBlock(source, piece, remaining);

        m_host.setProgressText(kPieceDoneText);
        piece.close();
        return lastRead == 0;
    }

    // Reads up to size bytes (at most one block) and writes what arrived; returns that count,
    // 0 only once the checked size has been read.
    std::size_t copyBlock(File& source, File& piece, std::int64_t size) {
        const std::int64_t unread = m_plan.sourceSize - m_sourceRead;
        const auto wanted = static_cast<std::size_t>(std::min(size, unread));
        if (wanted == 0)
            return 0;
        const std::size_t count = source.read(m_buffer.data(), wanted);
        if (count == 0)
            throw sourceShrank(source.path());
        piece.write(m_buffer.data(), count);
        m_sourceRead += static_cast<std::int64_t>(count);
        return count;
    }

    // The source ended before the size the split was checked and numbered with: pieces that
    // rejoin to a shorter file must not be reported as a finished split.
    IoError sourceShrank(const std::string& path) const {
        return IoError("Could not read " + path +
                       ": the file became shorter after it was chosen (" +
                       std::to_string(m_sourceRead) + " of " + std::to_string(m_plan.sourceSize) +
                       " bytes read)");
    }

    void showPercent() {
        const int percent = progressPercent(m_sourceRead, m_plan.sourceSize);
        if (percent == m_shownPercent)
            return;
        m_shownPercent = percent;
        m_host.setProgressText(progressText(percent));
    }

    void yieldToHost() {
        m_host.processMessages();
        if (g_stopRequested)
            throw StopRequested{};
    }

    std::string piecePath(std::int64_t index) const {
        return paths::joined(m_plan.destinationFolder, pieceName(m_plan.names.baseName, index));
    }

    // Only pieces this job created: a name that appeared meanwhile belongs to someone else.
    // Every piece is tried; the first failure is reported.
    void removeWrittenPieces() {
        std::optional<IoError> failure;
        for (std::int64_t index = 1; index <= m_createdPieces; ++index) {
            try {
                fs_entry::removeFile(piecePath(index));
            } catch (const IoError& error) {
                if (!failure)
                    failure = error;
            }
        }
        if (failure)
            throw *failure;
    }

    // Pieces without their script are of no use, and they would block the next attempt.
    IoError failureAfterRemovingPieces(const IoError& cause) {
        if (m_createdPieces == 0)
            return cause;
        try {
            removeWrittenPieces();
        } catch (const IoError& removal) {
            return IoError(
                std::string(cause.what()) +
                ". The split files written so far could not all be removed: " + removal.what());
        }
        return IoError(std::string(cause.what()) +
                       ". The split files written so far have been removed.");
    }

    const SplitPlan& m_plan;
    SplitHost& m_host;
    RejoinScript m_script;
    std::array<char, kBlockSize> m_buffer{};
    std::int64_t m_pieceIndex = 0;
    std::int64_t m_createdPieces = 0;
    std::int64_t m_sourceRead = 0;
    int m_shownPercent = -1;
    unsigned m_permissions = 0;
};

} // namespace

std::int64_t piecesWritten(std::int64_t sourceSize, std::int64_t splitSize) {
    const std::int64_t rest = sourceSize % splitSize;
    // Only the last piece's tail read can deliver fewer bytes than it asked for yet some.
    const bool endsInsideTailRead =
        rest % kBlockSize > 0 && rest / kBlockSize == splitSize / kBlockSize;
    return sourceSize / splitSize + 1 + (endsInsideTailRead ? 1 : 0);
}

SplitOutcome runSplitJob(const SplitPlan& plan, SplitHost& host) {
    const RunningMark running;
    return SplitRun(plan, host).run();
}

bool isSplitRunning() {
    return g_running;
}

void requestSplitStop() {
    if (g_running)
        g_stopRequested = true;
}
