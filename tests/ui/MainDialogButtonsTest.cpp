// The location buttons of the main window, clicked end to end: each reaches
// its workspace operation and the window shows what it changed.

#include "workspace/ModelEngine.h"
#include "workspace/InteractionMessageSink.h"
#include "ui/QtPrinterCanvas.h"
#include "support/FixedClock.h"
#include "support/ScriptedInteraction.h"
#include "support/TestEnvironment.h"
#include "workspace/Workspace.h"
#include "ui/MainDialog.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>

namespace tellurim {
namespace {

std::string contents(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct ButtonsWindow {
    explicit ButtonsWindow(ScriptedInteraction& interaction)
        : here(folder.path()), sink(interaction), engine(sink),
          workspace(engine, interaction, clock), dialog(workspace)
    {
        dialog.show();
    }

    void click(const char* name)
    {
        auto* button = dialog.findChild<QPushButton*>(QString::fromLatin1(name));
        ASSERT_NE(button, nullptr) << name;
        ASSERT_TRUE(button->isEnabled()) << name;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    QLineEdit* edit(const char* name) { return dialog.findChild<QLineEdit*>(QString::fromLatin1(name)); }

    TempSettings settings;
    TempDir folder;
    ScopedCurrentDir here;
    FixedClock clock{2026, 3, 15};
    InteractionMessageSink sink;
    ModelEngine engine;
    Workspace workspace;
    MainDialog dialog;
};

TEST(MainDialogButtons, SaveThenGetRestoresTheLocationInTheWindow)
{
    ScriptedInteraction ui;
    ButtonsWindow w(ui);
    w.workspace.record.Location = "Camp";
    w.workspace.show();
    w.click("SaveLocation");
    const auto saved = w.folder / "Camp.LOC";
    ASSERT_TRUE(std::filesystem::exists(saved));
    ASSERT_EQ(ui.messages().back().text, "Location saved OK:\n\nCamp.LOC");

    // Change the window, then load the file back through Get Location.
    QLineEdit* name = w.edit("Location");
    QLineEdit* degrees = w.edit("ILATD");
    name->setText(QStringLiteral("Elsewhere"));
    degrees->setText(QStringLiteral("12"));
    w.click("Recalc");
    ui.then(Answer::No).then(File{saved});
    w.click("GetLocation");
    EXPECT_TRUE(ui.finished());
    EXPECT_EQ(name->text(), QStringLiteral("Camp"));
    EXPECT_EQ(degrees->text(), QStringLiteral("30"));
    EXPECT_EQ(w.edit("CVALIDITY")->text(), QStringLiteral("OK"));
}

TEST(MainDialogButtons, ExportAppendsRowsAndPrintWritesAPage)
{
    ScriptedInteraction ui;
    ButtonsWindow w(ui);
    const auto csv = w.folder / "export.csv";
    ui.then(File{csv});
    w.click("ExportLocation");
    w.click("ExportLocation");
    EXPECT_TRUE(ui.finished());
    const std::string text = contents(csv);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3);
    EXPECT_EQ(text.rfind("\"Location\",\"Model\",", 0), 0u);
    EXPECT_EQ(ui.messages().back().text, "Data exported OK");

    const auto pdf = w.folder / "report.pdf";
    ui.then(Printer{pdfCanvas(QString::fromStdString(pdf.string()))});
    w.click("PrintLocation");
    EXPECT_TRUE(ui.finished());
    EXPECT_EQ(contents(pdf).rfind("%PDF", 0), 0u);
}

}  // namespace
}  // namespace tellurim
