// Renders the location report through the Qt printer backend. The test main
// of this program provides the QApplication.
#include "files/ReportLayout.h"
#include "ui/QtPrinterCanvas.h"
#include "support/FileSizeLimit.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace tellurim {
namespace {

std::vector<ReportLine> sampleReport()
{
    LocationRecord record;
    record.Location = "Boulder";
    record.FILENAME = "WMM2025.COF";
    record.ILATD = 40;
    record.DLAT = 40.0f;
    record.ILOND = 105;
    record.DLON = 105.0f;
    record.JHEM_EW = 0;
    record.IMONTH = 7;
    record.IDAY = 4;
    record.IYR = 2025;
    record.DDATE = 2025.5068f;
    FieldResult results;
    results.TI = 52000.0f;
    return reportLines(record, results, ResultTexts{"OK", "   12.34", "   -1.50", true}, "Tester");
}

TEST(PrintToPdf, ReportRendersToAOnePagePdfFile)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath("report.pdf");
    auto canvas = pdfCanvas(path);
    ASSERT_NE(canvas, nullptr);
    EXPECT_GT(canvas->pixelsPerInchX(), 0);
    EXPECT_GT(canvas->pixelsPerInchY(), 0);
    EXPECT_TRUE(printLines(*canvas, sampleReport()));

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_GT(bytes.size(), 2000);  // fonts and fourteen lines of text, not an empty page
    EXPECT_EQ(bytes.count("/Type /Page") - bytes.count("/Type /Pages"), 1);  // one page
}

TEST(PrintToPdf, AnUnwritableOutputFileIsReportedAsFailure)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    auto canvas = pdfCanvas(folder.filePath("missing-folder/report.pdf"));
    ASSERT_NE(canvas, nullptr);
    EXPECT_FALSE(printLines(*canvas, sampleReport()));
}

// A full disk is reported with the file and its reason, and a document
// printed before at that place is kept.
TEST(PrintToPdf, AFullDiskIsReportedAndTheEarlierFileKept)
{
    const PrintResult device = printLines(*pdfCanvas("/dev/full"), sampleReport());
    EXPECT_FALSE(device);
    EXPECT_EQ(device.fileName, "/dev/full");
    EXPECT_EQ(printFailureMessage(device).text, "Disk full while accessing /dev/full.");

    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath("report.pdf");
    {
        QFile earlier(path);
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
        earlier.write("earlier");
    }
    PrintResult limited;
    {
        FileSizeLimit limit(1000);
        ASSERT_TRUE(limit.active());
        limited = printLines(*pdfCanvas(path), sampleReport());
    }
    EXPECT_FALSE(limited);
    EXPECT_EQ(printFailureMessage(limited).text, "Disk full while accessing " + path.toStdString() + ".");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("earlier"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"report.pdf"});
}

}  // namespace
}  // namespace tellurim
