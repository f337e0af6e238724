#include "ui/PrinterTextDevice.h"

#include <utility>
#include <vector>

#include <QFontMetricsF>
#include <QPrinterInfo>
#include <QTextLayout>
#include <QTextOption>

#include "ui/NativeText.h"

std::unique_ptr<TextDevice> PrinterTextDevice::onDefaultPrinter() {
    const QPrinterInfo printerInfo = QPrinterInfo::defaultPrinter();
    if (printerInfo.isNull())
        throw NoPrinterError();
    auto printer = std::make_unique<QPrinter>(printerInfo, QPrinter::HighResolution);
    return std::unique_ptr<TextDevice>(
        new PrinterTextDevice(std::move(printer), printerInfo.printerName()));
}

std::unique_ptr<TextDevice> PrinterTextDevice::toPdfFile(const QString& path) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(path);
    return std::unique_ptr<TextDevice>(new PrinterTextDevice(std::move(printer), path));
}

PrinterTextDevice::PrinterTextDevice(std::unique_ptr<QPrinter> printer, const QString& target)
    : m_printer(std::move(printer)), m_target(target) {
    if (!m_painter.begin(m_printer.get()))
        throw PrinterError("Could not start printing on " + toNative(m_target));
    // File names are printed letter for letter: no ligatures.
    QFont font = m_painter.font();
    font.setStyleStrategy(QFont::PreferNoShaping);
    m_painter.setFont(font);
}

PrinterTextDevice::~PrinterTextDevice() {
    // Only a failure leaves the job open; its pages are not sent.
    if (m_painter.isActive()) {
        m_printer->abort();
        m_painter.end();
    }
}

void PrinterTextDevice::writeLine(const QString& line) {
    QTextLayout layout(line, m_painter.font(), m_printer.get());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    std::vector<QString> rows;
    layout.beginLayout();
    for (QTextLine row = layout.createLine(); row.isValid(); row = layout.createLine()) {
        row.setLineWidth(m_printer->width());
        rows.push_back(line.mid(row.textStart(), row.textLength()));
    }
    layout.endLayout();
    if (rows.empty())
        rows.emplace_back();
    for (const QString& row : rows)
        writeRow(row);
}

void PrinterTextDevice::writeRow(const QString& row) {
    const QFontMetricsF metrics(m_painter.font(), m_printer.get());
    if (m_top > 0 && m_top + metrics.lineSpacing() > m_printer->height()) {
        if (!m_printer->newPage())
            throw PrinterError("Could not start a new page on " + toNative(m_target));
        m_top = 0;
    }
    m_painter.drawText(QPointF(0, m_top + metrics.ascent()), row);
    m_top += metrics.lineSpacing();
}

void PrinterTextDevice::close() {
    if (!m_painter.end())
        throw PrinterError("Could not finish printing on " + toNative(m_target));
}
