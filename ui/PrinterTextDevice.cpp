#include "ui/PrinterTextDevice.h"

#include <utility>
#include <vector>

#include <QFontMetricsF>
#include <QPrinterInfo>
#include <QTextLayout>
#include <QTextOption>

#include "ui/NativeText.h"
#include "wording/Translation.h"

namespace {

// Blanks that begin each continued row of a line wider than the page.
const QString kContinuationIndent = QStringLiteral("    ");

} // namespace

std::unique_ptr<TextDevice> PrinterTextDevice::onDefaultPrinter(const QString& jobTitle) {
    const QPrinterInfo printerInfo = QPrinterInfo::defaultPrinter();
    if (printerInfo.isNull())
        throw NoPrinterError();
    auto printer = std::make_unique<QPrinter>(printerInfo, QPrinter::HighResolution);
    return std::unique_ptr<TextDevice>(
        new PrinterTextDevice(std::move(printer), printerInfo.printerName(), jobTitle));
}

std::unique_ptr<TextDevice> PrinterTextDevice::toPdfFile(const QString& path,
                                                         const QString& jobTitle) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(path);
    return std::unique_ptr<TextDevice>(new PrinterTextDevice(std::move(printer), path, jobTitle));
}

PrinterTextDevice::PrinterTextDevice(std::unique_ptr<QPrinter> printer, const QString& target,
                                     const QString& jobTitle)
    : m_printer(std::move(printer)), m_target(target) {
    m_printer->setDocName(jobTitle);
    if (!m_painter.begin(m_printer.get()))
        throw refusedJob(translate("Could not start printing on %1: the print system did not "
                                   "accept the job"));
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

PrinterError PrinterTextDevice::refusedJob(const char* text) const {
    return PrinterError(fillIn(text, {toNative(m_target)}));
}

void PrinterTextDevice::writeLine(const QString& line) {
    const qreal indent =
        QFontMetricsF(m_painter.font(), m_printer.get()).horizontalAdvance(kContinuationIndent);
    QTextLayout layout(line, m_painter.font(), m_printer.get());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    std::vector<std::pair<QString, qreal>> rows;
    layout.beginLayout();
    for (QTextLine row = layout.createLine(); row.isValid(); row = layout.createLine()) {
        const qreal rowIndent = rows.empty() ? 0 : indent;
        row.setLineWidth(m_printer->width() - rowIndent);
        rows.emplace_back(line.mid(row.textStart(), row.textLength()), rowIndent);
    }
    layout.endLayout();
    if (rows.empty())
        rows.emplace_back(QString(), 0);
    for (const auto& [row, rowIndent] : rows)
        writeRow(row, rowIndent);
}

void PrinterTextDevice::writeRow(const QString& row, qreal indent) {
    const QFontMetricsF metrics(m_painter.font(), m_printer.get());
    if (m_top > 0 && m_top + metrics.lineSpacing() > m_printer->height()) {
        if (!m_printer->newPage())
            throw PrinterError(
                fillIn(translate("Could not start a new page on %1"), {toNative(m_target)}));
        m_top = 0;
    }
    m_painter.drawText(QPointF(indent, m_top + metrics.ascent()), row);
    m_top += metrics.lineSpacing();
}

void PrinterTextDevice::close() {
    if (!m_painter.end())
        throw refusedJob(translate("Could not finish printing on %1: the print system did not "
                                   "accept the job"));
}
