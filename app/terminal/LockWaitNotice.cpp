#include "app/terminal/LockWaitNotice.h"

#include <iostream>

#include "platform/FolderLock.h"
#include "platform/VisibleText.h"
#include "wording/Translation.h"

void sayLongLockWaits(const std::string& prefix) {
    FolderLock::setLongWaitNotice([prefix](const std::string& lockFile) {
        // One write: a stop signal's own line must not land inside it.
        std::cerr << prefix +
                         fillIn(translate("waiting for %1, which another Orvanto program "
                                          "holds while it changes the settings files..."),
                                {visibleText(lockFile)}) +
                         "\n"
                  << std::flush;
    });
}
