#include "ui/PrinterOrPdf.h"

#include <optional>

#include <QString>

#include "platform/Paths.h"
#include "ui/HandlerGuard.h"
#include "ui/NativeText.h"
#include "ui/PrinterTextDevice.h"
#include "ui/Prompts.h"
#include "ui/WindowText.h"
#include "wording/Translation.h"

std::unique_ptr<TextDevice> openPrinterOrPdf(QWidget* owner, const QString& folder,
                                             const QString& jobTitle) {
    try {
        return openTextDevice(jobTitle);
    } catch (const NoPrinterError& error) {
        prompts().standardError(owner, standardErrorText(fromNative(error.what())));
    }
    if (!prompts().askYesNo(owner, orvantoText("Save the list of files as a PDF file instead?")))
        return nullptr;
    const std::optional<QString> pdf = prompts().savePdfFile(
        owner, fromNative(paths::joined(toNative(folder), translate("Files Located In.pdf"))));
    if (!pdf)
        return nullptr;
    return PrinterTextDevice::toPdfFile(*pdf, jobTitle);
}
