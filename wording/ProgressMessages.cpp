#include "wording/ProgressMessages.h"

#include "engine/Job.h"
#include "engine/Progress.h"
#include "wording/Translation.h"

std::string pieceDoneText() {
    return translate("100 %  Done.");
}

std::string progressText(int percent) {
    return fillIn(translate("%1% Complete"), {std::to_string(percent)});
}

std::string splitProgressText(const JobProgress& progress) {
    if (progress.currentPiece == 0)
        return "";
    // After the last piece come the final flushes: the split is done only once they are.
    if (progress.piecesOnMedium == progress.currentPiece &&
        progress.currentPiece < progress.pieceCount)
        return pieceDoneText();
    return progressText(percentOnMedium(progress));
}
