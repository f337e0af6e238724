#include "wording/StopMessages.h"

#include "engine/ChecksumFile.h"
#include "engine/JoinJob.h"
#include "engine/SplitJob.h"
#include "engine/SplitNames.h"
#include "platform/VisibleText.h"
#include "wording/Translation.h"

std::string splitLeftoverNote(const std::string& prefix, const SplitPlan& plan) {
    const std::string& base = plan.names.baseName;
    const std::int64_t count = piecesWritten(plan.sourceSize, plan.splitSize);
    const std::string folder = visibleText(plan.destinationFolder);
    const std::string first = visibleText(pieceName(base, 1));
    const std::string last = visibleText(pieceName(base, count));
    const std::string script = visibleText(scriptName(base));
    // Said whatever was left: the call it waits in is the reason it may not end yet.
    if (plan.writeChecksum)
        return prefix +
               fillIn(translate("ended at once; in %1 the pieces written so far, %2 to %3, %4 and "
                                "%5 may be left, and are no whole split. If the program does not "
                                "end now, the kernel holds it in a call to a medium it cannot "
                                "interrupt (a hard network mount, or a write-back cache with data "
                                "the medium has not taken); it ends as soon as the kernel lets "
                                "go.\n"),
                      {folder, first, last, script, visibleText(checksum_file::nameFor(base))});
    return prefix +
           fillIn(translate("ended at once; in %1 the pieces written so far, %2 to %3, and %4 may "
                            "be left, and are no whole split. If the program does not end now, "
                            "the kernel holds it in a call to a medium it cannot interrupt (a hard "
                            "network mount, or a write-back cache with data the medium has not "
                            "taken); it ends as soon as the kernel lets go.\n"),
                  {folder, first, last, script});
}

std::string joinLeftoverNote(const std::string& prefix, const std::string& targetFolder) {
    return prefix +
           fillIn(translate("ended at once; a hidden file named %2* may be left in %1. If the "
                            "program does not end now, the kernel holds it in a call to a medium "
                            "it cannot interrupt (a hard network mount, or a write-back cache "
                            "with data the medium has not taken); it ends as soon as the kernel "
                            "lets go.\n"),
                  {visibleText(targetFolder.empty() ? "." : targetFolder), kJoinTemporaryPrefix});
}
