// The history window, opened from the main window's button: the composite
// model's span, the series against single points, following the main
// window, handing a date back, and the exports.

#include "workspace/ModelEngine.h"
#include "workspace/InteractionMessageSink.h"
#include "support/EngineSupport.h"
#include "support/FixedClock.h"
#include "support/ScriptedInteraction.h"
#include "support/TestEnvironment.h"
#include "ui/HistoryWindow.h"
#include "ui/MainDialog.h"
#include "workspace/Workspace.h"

#include <gtest/gtest.h>

#include <QChart>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <fstream>
#include <iterator>

namespace tellurim {
namespace {

std::string head(const std::filesystem::path& file, std::size_t bytes)
{
    std::ifstream in(file, std::ios::binary);
    std::string text(bytes, '\0');
    in.read(text.data(), static_cast<std::streamsize>(bytes));
    text.resize(static_cast<std::size_t>(in.gcount()));
    return text;
}

struct HistoryFixture {
    explicit HistoryFixture(ScriptedInteraction& interaction)
        : here(folder.path()), sink(interaction), engine(sink), workspace(engine, interaction, clock),
          dialog(workspace)
    {
        workspace.record.FILENAME = shippedModel("Historical.chain");
        workspace.loadModel(false);
        workspace.show();
        dialog.show();
    }

    HistoryWindow* open()
    {
        auto* button = dialog.findChild<QPushButton*>(QStringLiteral("History"));
        EXPECT_NE(button, nullptr);
        if (button != nullptr)
            QTest::mouseClick(button, Qt::LeftButton);
        return dialog.findChild<HistoryWindow*>();
    }

    TempSettings settings;
    TempDir folder;
    ScopedCurrentDir here;
    FixedClock clock{2026, 3, 15};
    InteractionMessageSink sink;
    ModelEngine engine;
    Workspace workspace;
    MainDialog dialog;
};

TEST(HistoryWindow, PlotsTheCompositeSpanAndFollowsTheMainWindow)
{
    ScriptedInteraction ui;
    HistoryFixture f(ui);
    ASSERT_TRUE(f.engine.isLoaded());
    HistoryWindow* window = f.open();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isModal());
    ASSERT_TRUE(window->history());
    const FieldHistory& history = *window->history();
    EXPECT_EQ(history.from, 1590.0);
    EXPECT_EQ(history.to, 2030.0);
    EXPECT_EQ(history.years.size(), 5281u);  // every month, both ends included
    ASSERT_EQ(history.segments.size(), 3u);
    EXPECT_TRUE(history.segments[1].blend);
    // Three bands, the curve and the mark of the main window's date (2026).
    EXPECT_EQ(window->chart()->series().size(), 5);

    // A series' values are those of the single point at each date.
    ShippedEngine points{"Historical.chain"};
    for (const std::size_t i : {std::size_t{0}, std::size_t{2736}, std::size_t{5280}}) {
        const FieldResult point = points.engine.computePoint(history.elevation, history.latitude,
                                                             history.longitude, history.years[i]);
        EXPECT_EQ(point.DEC, history.results[i].DEC) << history.years[i];
        EXPECT_EQ(point.TI, history.results[i].TI) << history.years[i];
    }

    // A new place in the main window redraws the history there.
    QLineEdit* latitude = f.dialog.findChild<QLineEdit*>(QStringLiteral("DLAT"));
    ASSERT_NE(latitude, nullptr);
    latitude->setText(QStringLiteral("12.5"));
    QTest::mouseClick(f.dialog.findChild<QPushButton*>(QStringLiteral("Recalc")), Qt::LeftButton);
    EXPECT_EQ(std::abs(window->history()->latitude), 12.5f);

    // The date pointed at goes back to the main window.
    window->pickYear(1817.01f);
    auto* use = window->findChild<QPushButton*>(QStringLiteral("useDate"));
    ASSERT_TRUE(use != nullptr && use->isEnabled());
    QTest::mouseClick(use, Qt::LeftButton);
    EXPECT_NEAR(f.workspace.record.DDATE, 1817.0f, 1e-3f);
    EXPECT_EQ(f.workspace.record.IYR, 1817);
    EXPECT_EQ(f.dialog.findChild<QLineEdit*>(QStringLiteral("IYR"))->text(), QStringLiteral("1817"));
    EXPECT_TRUE(ui.finished());
}

TEST(HistoryWindow, ExportsThePlotAndTheSeries)
{
    ScriptedInteraction ui;
    HistoryFixture f(ui);
    HistoryWindow* window = f.open();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->writePlot(f.folder.file("h.png")), std::nullopt);
    EXPECT_EQ(head(f.folder / "h.png", 4), "\x89PNG");
    EXPECT_EQ(window->writePlot(f.folder.file("h.svg")), std::nullopt);
    EXPECT_NE(head(f.folder / "h.svg", 400).find("<svg"), std::string::npos);
    EXPECT_EQ(window->writePlot(f.folder.file("h.pdf")), std::nullopt);
    EXPECT_EQ(head(f.folder / "h.pdf", 5), "%PDF-");
    EXPECT_EQ(window->writePlot(f.folder.file("h.txt")), "the name must end in .png, .svg or .pdf");
    EXPECT_FALSE(std::filesystem::exists(f.folder / "h.txt"));

    ui.then(File{f.folder / "h.csv"});
    QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("exportCsv")), Qt::LeftButton);
    EXPECT_TRUE(ui.finished());
    std::ifstream csv(f.folder / "h.csv", std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(csv), std::istreambuf_iterator<char>()};
    EXPECT_EQ(text.rfind("\"Julian Date\",\"Elevation (m)\",\"Decimal Latitude\"", 0), 0u);
    EXPECT_EQ(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')), 5282u);
    EXPECT_NE(text.find("\r\n1590.000000,"), std::string::npos);

    // A folder that cannot be written: the stop box, and no file.
    ui.then(File{f.folder / "missing" / "h.csv"});
    QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("exportCsv")), Qt::LeftButton);
    EXPECT_TRUE(ui.finished());
    EXPECT_EQ(ui.messages().back().icon, Icon::Stop);
}

}  // namespace
}  // namespace tellurim
