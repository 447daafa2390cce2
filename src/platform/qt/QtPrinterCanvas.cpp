#include "platform/qt/QtPrinterCanvas.h"

#include <QFontMetrics>
#include <QPrintDialog>
#include <QPrinter>

namespace tellurim {

QtPrinterCanvas::QtPrinterCanvas(std::unique_ptr<QPrinter> printer)
    : m_printer(std::move(printer))
{
    m_started = m_painter.begin(m_printer.get());
}

QtPrinterCanvas::~QtPrinterCanvas()
{
    if (m_painter.isActive()) {
        m_painter.end();
    }
}

int QtPrinterCanvas::pixelsPerInchX() const
{
    return m_printer->logicalDpiX();
}

int QtPrinterCanvas::pixelsPerInchY() const
{
    return m_printer->logicalDpiY();
}

void QtPrinterCanvas::drawCentredText(int x, int y, std::string_view text)
{
    if (!m_painter.isActive()) {
        return;
    }
    const QString line = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    const QFontMetrics metrics = m_painter.fontMetrics();
    m_painter.drawText(x - metrics.horizontalAdvance(line) / 2, y + metrics.ascent(), line);
}

bool QtPrinterCanvas::finish()
{
    if (m_finished) {
        return false;
    }
    m_finished = true;
    if (!m_started) {
        return false;
    }
    const bool ended = m_painter.end();
    return ended && m_printer->printerState() != QPrinter::Error &&
           m_printer->printerState() != QPrinter::Aborted;
}

std::unique_ptr<PageCanvas> choosePrinterQt(QWidget* parent, std::string_view documentName)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setDocName(QString::fromUtf8(documentName.data(),
                                          static_cast<qsizetype>(documentName.size())));
    printer->setPrintRange(QPrinter::AllPages);
    QPrintDialog dialog(printer.get(), parent);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    if (dialog.exec() != QDialog::Accepted) {
        return nullptr;
    }
    return std::make_unique<QtPrinterCanvas>(std::move(printer));
}

std::unique_ptr<PageCanvas> pdfCanvas(const QString& path, std::string_view documentName)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(path);
    printer->setDocName(QString::fromUtf8(documentName.data(),
                                          static_cast<qsizetype>(documentName.size())));
    return std::make_unique<QtPrinterCanvas>(std::move(printer));
}

}  // namespace tellurim
