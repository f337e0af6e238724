#include "wording/StopMessages.h"

#include "platform/VisibleText.h"
#include "wording/Translation.h"

std::string leftoverNote(const std::string& prefix, const std::string& folder,
                         const std::vector<std::string>& left) {
    // Said whatever was left: the call it waits in is the reason it may not end yet.
    if (folder.empty())
        return prefix + translate("ended at once; it had written nothing. If the program does not "
                                  "end now, the kernel holds it in a call to a medium it cannot "
                                  "interrupt (a hard network mount, or a write-back cache with "
                                  "data the medium has not taken); it ends as soon as the kernel "
                                  "lets go.\n");
    const std::string shownFolder = visibleText(folder);
    if (left.empty())
        return prefix + fillIn(translate("ended at once; nothing it wrote is left in %1. If the "
                                         "program does not end now, the kernel holds it in a call "
                                         "to a medium it cannot interrupt (a hard network mount, "
                                         "or a write-back cache with data the medium has not "
                                         "taken); it ends as soon as the kernel lets go.\n"),
                               {shownFolder});
    std::string names;
    for (const std::string& name : left)
        names += (names.empty() ? "" : ", ") + visibleText(name);
    return prefix +
           fillIn(translatePlural("ended at once; in %1 this file it wrote may be left: %2. If the "
                                  "program does not end now, the kernel holds it in a call to a "
                                  "medium it cannot interrupt (a hard network mount, or a "
                                  "write-back cache with data the medium has not taken); it ends "
                                  "as soon as the kernel lets go.\n",
                                  "ended at once; in %1 these files it wrote may be left: %2. If "
                                  "the program does not end now, the kernel holds it in a call to "
                                  "a medium it cannot interrupt (a hard network mount, or a "
                                  "write-back cache with data the medium has not taken); it ends "
                                  "as soon as the kernel lets go.\n",
                                  static_cast<unsigned long>(left.size())),
                  {shownFolder, names});
}
