// The safety net of the window tests: a modal window nobody handles fails
// the test and is closed instead of hanging the run.

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QMessageBox>

namespace tellurim {
namespace {

TEST(Watchdog, UnhandledModalBoxFailsTheTestAndIsClosed)
{
    auto openBox = [] {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Stray"), QStringLiteral("nobody answers"));
        box.exec();
    };
    EXPECT_NONFATAL_FAILURE(openBox(), "unexpected modal window \"Stray\"");
}

}  // namespace
}  // namespace tellurim
