#pragma once

#include <memory>
#include <stdexcept>
#include <string>

#include <QPainter>
#include <QPrinter>

#include "ui/TextDevice.h"

// A printer that cannot be used: none installed, a job that would not start or finish.
class PrinterError : public std::runtime_error {
public:
    explicit PrinterError(const std::string& message) : std::runtime_error(message) {}
};

// The system has no printer at all.
class NoPrinterError final : public PrinterError {
public:
    NoPrinterError() : PrinterError("No printer is installed.") {}
};

// The text device over Qt's printing: lines in the printer's default text font, a line wider
// than the page continued on the next line indented, a full page continued on a new one. Control
// characters print escaped ("\x0A", platform/VisibleText.h), so that every character of a line
// can be seen.
class PrinterTextDevice final : public TextDevice {
public:
    // A job titled jobTitle on the system's default printer; throws PrinterError when none is
    // installed.
    static std::unique_ptr<TextDevice> onDefaultPrinter(const QString& jobTitle);
    // A job titled jobTitle whose pages go to a PDF file instead of paper.
    static std::unique_ptr<TextDevice> toPdfFile(const QString& path, const QString& jobTitle);

    ~PrinterTextDevice() override;
    PrinterTextDevice(const PrinterTextDevice&) = delete;
    PrinterTextDevice& operator=(const PrinterTextDevice&) = delete;

    void writeLine(const QString& line) override;
    void close() override;

private:
    // Starts the job on printer, titled jobTitle; target names it in error messages.
    PrinterTextDevice(std::unique_ptr<QPrinter> printer, const QString& target,
                      const QString& jobTitle);

    void writeRow(const QString& row, qreal indent);
    // The error for a job that the print system would not take (Qt gives no reason): text,
    // translated, with %1 for the printer or file.
    PrinterError refusedJob(const char* text) const;

    std::unique_ptr<QPrinter> m_printer;
    QPainter m_painter;
    QString m_target;
    qreal m_top = 0;
};
