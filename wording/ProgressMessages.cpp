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
    if (progress.piecesOnMedium == progress.currentPiece)
        return kPieceDoneText;
    return progressText(percentOnMedium(progress));
}
