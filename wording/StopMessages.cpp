#include "wording/StopMessages.h"

#include "engine/ChecksumFile.h"
#include "engine/SplitJob.h"
#include "engine/SplitNames.h"
#include "platform/VisibleText.h"

namespace {

// Said whatever was left: the call it waits in is the reason it may not end yet.
const char* const kKernelHold =
    " If the program does not end now, the kernel holds it in a call to a medium it cannot "
    "interrupt (a hard network mount, or a write-back cache with data the medium has not "
    "taken); it ends as soon as the kernel lets go.\n";

} // namespace

std::string splitLeftoverNote(const std::string& prefix, const SplitPlan& plan) {
    const std::string& base = plan.names.baseName;
    const std::int64_t count = piecesWritten(plan.sourceSize, plan.splitSize);
    const std::string script = visibleText(scriptName(base));
    const std::string lastFiles =
        plan.writeChecksum ? ", " + script + " and " + visibleText(checksum_file::nameFor(base))
                           : ", and " + script;
    return prefix + "ended at once; in " + visibleText(plan.destinationFolder) +
           " the pieces written so far, " + visibleText(pieceName(base, 1)) + " to " +
           visibleText(pieceName(base, count)) + lastFiles +
           " may be left, and are no whole split." + kKernelHold;
}

std::string joinLeftoverNote(const std::string& prefix, const std::string& targetFolder) {
    return prefix + "ended at once; a hidden file named .orvanto-join.* may be left in " +
           visibleText(targetFolder.empty() ? "." : targetFolder) + "." + kKernelHold;
}
