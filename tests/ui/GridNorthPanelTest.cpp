// Wiring of the grid-north line of the main window.

#include "workspace/ModelEngine.h"
#include "workspace/InteractionMessageSink.h"
#include "support/FixedClock.h"
#include "support/ScriptedInteraction.h"
#include "support/TestEnvironment.h"
#include "ui/GridNorthPanel.h"
#include "ui/MainDialog.h"
#include "workspace/Workspace.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace tellurim {
namespace {

struct Window {
    explicit Window(WorkspaceInteraction& interaction)
        : sink(interaction), engine(sink), workspace(engine, interaction, clock), dialog(workspace)
    {
        dialog.show();
        dialog.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }

    QLineEdit* edit(const char* name) { return dialog.findChild<QLineEdit*>(QString::fromLatin1(name)); }

    void focus(QWidget* widget)
    {
        widget->setFocus(Qt::MouseFocusReason);
        QCoreApplication::processEvents();
    }
    // Types into the field and leaves it for the next one.
    void typeAndLeave(QLineEdit* target, const QString& text, QWidget* next)
    {
        focus(target);
        target->selectAll();
        QTest::keyClicks(target, text);
        focus(next);
    }
    void typeSystem(const QString& text)
    {
        QLineEdit* typed = panel()->systemList()->lineEdit();
        focus(typed);
        typed->selectAll();
        QTest::keyClicks(typed, text);
        QTest::keyClick(typed, Qt::Key_Return);
        QCoreApplication::processEvents();
    }
    GridNorthPanel* panel() { return dialog.gridNorthPanel(); }

    TempSettings settings;
    FixedClock clock{2026, 3, 15};
    InteractionMessageSink sink;
    ModelEngine engine;
    Workspace workspace;
    MainDialog dialog;
};

TEST(GridNorthPanel, EveryPartIsNamedAndSaysWhichWayIsPositive)
{
    ScriptedInteraction ui;
    Window w(ui);
    GridNorthPanel* panel = w.panel();
    ASSERT_NE(panel, nullptr);
    const QWidget* parts[] = {panel->systemList(), panel->easting(), panel->northing(), panel->convergence(),
                              panel->gridDeclination()};
    for (const QWidget* part : parts) {
        EXPECT_FALSE(part->accessibleName().isEmpty()) << part->objectName().toStdString();
        EXPECT_FALSE(part->toolTip().isEmpty()) << part->objectName().toStdString();
    }
    EXPECT_TRUE(panel->convergence()->toolTip().contains(QStringLiteral("positive when grid north lies east")));
    EXPECT_TRUE(panel->gridDeclination()->toolTip().contains(
        QStringLiteral("positive when magnetic north lies east")));
    EXPECT_EQ(panel->systemList()->itemText(0), QStringLiteral("UTM zone (automatic)"));
    EXPECT_TRUE(ui.finished());
}

TEST(GridNorthPanel, LatitudeEditsMoveTheGridPositionAndGridEditsMoveTheLatitude)
{
    ScriptedInteraction ui;
    Window w(ui);
    const QString eastingBefore = w.panel()->easting()->text();
    w.typeAndLeave(w.edit("DLAT"), QStringLiteral("31.5"), w.edit("DLON"));
    EXPECT_NE(w.panel()->easting()->text(), eastingBefore);

    w.typeSystem(QStringLiteral("27700"));
    EXPECT_EQ(w.panel()->systemList()->currentText(), QStringLiteral("EPSG:27700"));
    w.typeAndLeave(w.panel()->easting(), QStringLiteral("530591.166"), w.panel()->northing());
    w.typeAndLeave(w.panel()->northing(), QStringLiteral("179571.066"), w.edit("DLAT"));
    EXPECT_EQ(w.edit("DLAT")->text(), QStringLiteral("51.5"));
    EXPECT_EQ(w.edit("DLON")->text(), QStringLiteral("0.12"));
    EXPECT_EQ(w.panel()->easting()->text(), QStringLiteral("530591.166"));
    EXPECT_TRUE(ui.finished());
}

TEST(GridNorthPanel, AnUnknownSystemIsRefusedOnceAndTheListKeepsItsChoice)
{
    ScriptedInteraction ui;
    Window w(ui);
    w.typeSystem(QStringLiteral("EPSG:99999"));
    const auto messages = ui.messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "EPSG:99999 is not a reference system PROJ knows.");
    EXPECT_EQ(w.panel()->systemList()->currentText(), QStringLiteral("UTM zone (automatic)"));
    EXPECT_EQ(w.panel()->systemList()->count(), 1);
    EXPECT_TRUE(ui.finished());
}

}  // namespace
}  // namespace tellurim
