#include "ui/QtPrinterCanvas.h"

#include "files/ReplaceFile.h"
#include "files/WriteAll.h"

#include <QBuffer>
#include <QFile>
#include <QFontMetrics>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tellurim {
namespace {

PrintResult refusedBy(const std::string& path, int osError)
{
    return PrintResult{false, path, osError};
}

// A device or a pipe is written in place (never replaced by a regular file);
// one that nobody reads is refused at once instead of blocking.
PrintResult writeInPlace(const std::string& path, std::string_view bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return refusedBy(path, errno);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::optional<FileError> error = writeAll(fd, bytes, path);
    if (::close(fd) != 0 && !error) {
        error = fileErrorFromErrno(errno, path);
    }
    return error ? refusedBy(path, error->osError) : PrintResult{true, {}, -1};
}

PrintResult writeDocument(const std::string& path, std::string_view bytes)
{
    if (writeWayFor(path) == WriteWay::InPlace) {
        return writeInPlace(path, bytes);
    }
    if (const auto failure = replaceFileContents(path, bytes)) {
        return refusedBy(path, failure->error.osError);
    }
    return PrintResult{true, {}, -1};
}

}  // namespace

QtPrinterCanvas::QtPrinterCanvas(std::unique_ptr<QPrinter> printer)
    : m_printer(std::move(printer))
{
    if (m_printer->outputFormat() != QPrinter::PdfFormat || m_printer->outputFileName().isEmpty()) {
        m_started = m_painter.begin(m_printer.get());
        return;
    }
    m_document = std::make_unique<QBuffer>();
    m_document->open(QIODevice::WriteOnly);
    m_pdf = std::make_unique<QPdfWriter>(m_document.get());
    m_pdf->setPdfVersion(m_printer->pdfVersion());
    m_pdf->setTitle(m_printer->docName());
    m_pdf->setCreator(m_printer->creator());
    m_pdf->setResolution(m_printer->resolution());
    m_pdf->setPageLayout(m_printer->pageLayout());
    m_started = m_painter.begin(m_pdf.get());
}

QtPrinterCanvas::~QtPrinterCanvas()
{
    if (m_painter.isActive()) {
        m_painter.end();
    }
}

const QPaintDevice& QtPrinterCanvas::device() const
{
    if (m_pdf) {
        return *m_pdf;
    }
    return *m_printer;
}

int QtPrinterCanvas::pixelsPerInchX() const
{
    return device().logicalDpiX();
}

int QtPrinterCanvas::pixelsPerInchY() const
{
    return device().logicalDpiY();
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

PrintResult QtPrinterCanvas::finish()
{
    if (m_finished || !m_started) {
        return {};
    }
    m_finished = true;
    const bool ended = m_painter.end();
    if (!m_pdf) {
        const bool printed = ended && m_printer->printerState() != QPrinter::Error &&
                             m_printer->printerState() != QPrinter::Aborted;
        return PrintResult{printed, {}, -1};
    }
    if (!ended) {
        return {};
    }
    const QByteArray& bytes = m_document->data();
    return writeDocument(QFile::encodeName(m_printer->outputFileName()).toStdString(),
                         std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
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
