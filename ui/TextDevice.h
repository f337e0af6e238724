#pragma once

#include <functional>
#include <memory>

#include <QString>

// A printer used as a line printer. Creating the device starts the print job; each written line
// becomes one printed line, from the top of the page down; close() ends the job and hands it
// over. A device destroyed without close() abandons its job.
class TextDevice {
public:
    virtual ~TextDevice() = default;

    virtual void writeLine(const QString& line) = 0;
    virtual void close() = 0;
};

// Makes a device whose job carries jobTitle, the name the print queue shows.
using TextDeviceFactory = std::function<std::unique_ptr<TextDevice>(const QString& jobTitle)>;

// Starts a job titled jobTitle on the device printouts go to: the default printer, unless a test
// routed them elsewhere.
std::unique_ptr<TextDevice> openTextDevice(const QString& jobTitle);
// Routes printouts through factory; an empty factory restores the default printer.
void setTextDeviceFactory(TextDeviceFactory factory);
