#pragma once

#include "platform/Interaction.h"

#include <QPainter>
#include <QString>

#include <memory>
#include <string_view>

class QBuffer;
class QPdfWriter;
class QPrinter;
class QWidget;

namespace tellurim {

/// One page on a Qt printer (a real printer or a PDF file). Coordinates are
/// the printer's device pixels with the origin at the top left of the
/// printable area; text is drawn in the painter's default font. A PDF file
/// is made in memory with the printer's page layout and resolution and
/// written when the page is finished, by the program's own file writing, so
/// that a file that cannot be written is reported with its reason; a file
/// that exists is replaced whole or left as it was.
class QtPrinterCanvas final : public PageCanvas {
public:
    /// Starts painting on the printer (the document starts here).
    explicit QtPrinterCanvas(std::unique_ptr<QPrinter> printer);
    ~QtPrinterCanvas() override;
    QtPrinterCanvas(const QtPrinterCanvas&) = delete;
    QtPrinterCanvas& operator=(const QtPrinterCanvas&) = delete;

    int pixelsPerInchX() const override;
    int pixelsPerInchY() const override;
    /// Centred on x, top edge of the text at y.
    void drawCentredText(int x, int y, std::string_view text) override;
    /// Ends the page and the document; not printed when the printer or the
    /// output file refused the job.
    PrintResult finish() override;

private:
    const QPaintDevice& device() const;

    std::unique_ptr<QPrinter> m_printer;
    std::unique_ptr<QBuffer> m_document;  ///< the PDF's bytes, for a PDF file
    std::unique_ptr<QPdfWriter> m_pdf;
    QPainter m_painter;
    bool m_started = false;
    bool m_finished = false;
};

/// Shows the print dialog (all pages; page range, current page and selection
/// disabled; printing to a PDF file allowed). A canvas for one page of the
/// chosen printer, or null when the user cancelled.
std::unique_ptr<PageCanvas> choosePrinterQt(QWidget* parent, std::string_view documentName);

/// A canvas that prints one page to a PDF file at path, without a dialog.
std::unique_ptr<PageCanvas> pdfCanvas(const QString& path,
                                      std::string_view documentName = "DocName");

}  // namespace tellurim
