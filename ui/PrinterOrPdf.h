#pragma once

#include <memory>

#include "ui/TextDevice.h"

class QString;
class QWidget;

// Starts a printout titled jobTitle. Without any printer, says "No printer is installed." and
// offers to save the printout as a PDF file instead, chosen in a dialog that starts in folder;
// nullptr when the user declines. Other printer errors are thrown.
std::unique_ptr<TextDevice> openPrinterOrPdf(QWidget* owner, const QString& folder,
                                             const QString& jobTitle);
