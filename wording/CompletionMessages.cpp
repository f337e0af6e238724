#include "wording/CompletionMessages.h"

#include "engine/SplitOutcome.h"
#include "wording/Translation.h"

std::string setFolder(const SplitCompletion& completion) {
    const std::string& current = completion.whereabouts.currentPath;
    return current.empty() ? completion.folder : current;
}

std::string movedFolderText(const SplitCompletion& completion) {
    if (!completion.whereabouts.moved)
        return "";
    if (completion.whereabouts.currentPath.empty())
        return fillIn(translate("The folder %1 was moved or replaced during the split, and where "
                                "the files are now could not be found."),
                      {completion.folder});
    return fillIn(translate("The folder %1 was moved or replaced during the split: the files are "
                            "in %2, where the folder written to is now."),
                  {completion.folder, completion.whereabouts.currentPath});
}
