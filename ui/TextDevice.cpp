#include "ui/TextDevice.h"

#include <utility>

#include "ui/PrinterTextDevice.h"

namespace {

TextDeviceFactory g_factory;

} // namespace

std::unique_ptr<TextDevice> openTextDevice() {
    if (g_factory)
        return g_factory();
    return PrinterTextDevice::onDefaultPrinter();
}

void setTextDeviceFactory(TextDeviceFactory factory) {
    g_factory = std::move(factory);
}
