#include "wording/GivingUp.h"

#include <chrono>

#include "platform/StopSignals.h"
#include "wording/StopMessages.h"

void giveUpOnJob(CreatedFiles made, const std::string& prefix) {
    // Less than the time the stop signals give: the end comes from here, with the true note.
    constexpr std::chrono::milliseconds kRemovalWait{2000};
    static_assert(kRemovalWait < std::chrono::seconds(StopSignals::kRemovalSeconds));
    const std::string folder = made.folderPath();
    // Should the end come at once all the same, it names what the job made.
    StopSignals::setLeftoverNote(leftoverNote(prefix, folder, made.mayStand()));
    const std::vector<std::string> left = made.removeAllWithin(kRemovalWait);
    StopSignals::setLeftoverNote(leftoverNote(prefix, folder, left));
    StopSignals::endNow();
}
