#include "ui/TextDevice.h"

#include <utility>

#include "ui/PrinterTextDevice.h"

namespace {

TextDeviceFactory g_factory;

} // namespace

std::unique_ptr<TextDevice> openTextDevice(const QString& jobTitle) {
    if (g_factory)
        return g_factory(jobTitle);
    return PrinterTextDevice::onDefaultPrinter(jobTitle);
}

void setTextDeviceFactory(TextDeviceFactory factory) {
    g_factory = std::move(factory);
}
