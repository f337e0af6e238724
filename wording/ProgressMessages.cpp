#include "wording/ProgressMessages.h"

#include "engine/Job.h"
#include "engine/Progress.h"

const char* const kPieceDoneText = "100 %  Done.";

std::string progressText(int percent) {
    return std::to_string(percent) + "% Complete";
}

std::string splitProgressText(const JobProgress& progress) {
    if (progress.currentPiece == 0)
        return "";
    // After the last piece come the final flushes: the split is done only once they are.
    if (progress.piecesOnMedium == progress.currentPiece &&
        progress.currentPiece < progress.pieceCount)
        return kPieceDoneText;
    return progressText(percentOnMedium(progress));
}
