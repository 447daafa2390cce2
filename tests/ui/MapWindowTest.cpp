// Wiring of the Map window: it follows the main window, a click moves the
// main window's location, the chooser greys out what a model lacks.
#include "workspace/InteractionMessageSink.h"
#include "workspace/ModelEngine.h"
#include "support/EngineSupport.h"
#include "support/FixedClock.h"
#include "support/ScriptedInteraction.h"
#include "support/TestEnvironment.h"
#include "ui/MainDialog.h"
#include "ui/MapCanvas.h"
#include "ui/MapWindow.h"
#include "workspace/Workspace.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QStandardItemModel>
#include <QTest>

namespace tellurim {
namespace {

struct MapSession {
    MapSession() : sink(ui), engine(sink), workspace(engine, ui, clock), dialog(workspace), map(workspace)
    {
        dialog.show();
        map.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&map));
    }

    bool elementEnabled(FieldElement element)
    {
        auto* chooser = map.findChild<QComboBox*>(QStringLiteral("Element"));
        auto* items = qobject_cast<QStandardItemModel*>(chooser->model());
        return items->item(chooser->findData(static_cast<int>(element)))->isEnabled();
    }

    TempSettings settings;
    FixedClock clock{2026, 3, 15};
    ScriptedInteraction ui;
    InteractionMessageSink sink;
    ModelEngine engine;
    Workspace workspace;
    MainDialog dialog;
    MapWindow map;
};

TEST(MapWindow, FollowsTheMainWindowsDateElevationAndModel)
{
    MapSession s;
    EXPECT_NEAR(s.map.mapDate(), s.workspace.record.DDATE, 0.006f);
    s.workspace.record.DDATE = 2027.25f;
    s.workspace.record.ALTM = 1500.0f;
    s.map.followMainWindow();
    EXPECT_NEAR(s.map.mapDate(), 2027.25f, 0.006f);
    EXPECT_EQ(s.map.canvas().request().elevation, 1500.0f);
    EXPECT_TRUE(s.map.canvas().layout().title.text.contains(QStringLiteral("2027-04")));
    EXPECT_TRUE(s.map.canvas().accessibleDescription().contains(QStringLiteral("WMM-2025")));
    EXPECT_TRUE(s.elementEnabled(FieldElement::SigmaD));

    // Another model: its span on the slider, what it lacks greyed out.
    s.workspace.record.FILENAME = shippedModel("IGRF14.shc");
    s.workspace.loadModel(false);
    s.map.followMainWindow();
    auto* slider = s.map.findChild<QSlider*>(QStringLiteral("Date"));
    EXPECT_EQ(slider->minimum(), 1900 * 100);
    EXPECT_EQ(slider->maximum(), 2030 * 100);
    EXPECT_TRUE(s.map.canvas().layout().title.text.contains(QStringLiteral("IGRF")));
    EXPECT_FALSE(s.elementEnabled(FieldElement::SigmaD));
    EXPECT_TRUE(s.elementEnabled(FieldElement::DeltaD));
    for (QWidget* control : s.map.findChildren<QWidget*>()) {
        if (qobject_cast<QComboBox*>(control) || qobject_cast<QPushButton*>(control) ||
            qobject_cast<QSlider*>(control)) {
            EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();
        }
    }
}

TEST(MapWindow, AClickSetsTheMainWindowsLocationAndRecalculates)
{
    MapSession s;
    MapCanvas& canvas = s.map.canvas();
    const auto pixel = canvas.view().toPixel(-100.0, 45.0);
    ASSERT_TRUE(pixel);
    QMouseEvent hover(QEvent::MouseMove, *pixel, canvas.mapToGlobal(*pixel), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&canvas, &hover);
    EXPECT_TRUE(s.map.readout()->text().contains(QStringLiteral("D = "))) << s.map.readout()->text().toStdString();
    QTest::mouseClick(&canvas, Qt::LeftButton, {}, pixel->toPoint());

    const LocationRecord& record = s.workspace.record;
    // One pixel of this map is about a third of a degree.
    EXPECT_NEAR(record.DLAT, 45.0f, 0.4f);
    EXPECT_EQ(record.IHEM_NS, 0);
    EXPECT_NEAR(record.DLON, 100.0f, 0.4f);
    EXPECT_EQ(record.JHEM_EW, 0);
    EXPECT_EQ(record.ILATD, static_cast<int32_t>(record.DLAT));
    const FieldResult expected = s.engine.computePoint(record.ALTM, record.DLAT, -record.DLON, record.DDATE);
    EXPECT_EQ(s.workspace.results().DEC, expected.DEC);
    const auto& markers = canvas.layout().markers;
    const auto location = std::find_if(markers.begin(), markers.end(),
                                       [](const MapMarker& m) { return m.kind == MarkerKind::Location; });
    ASSERT_NE(location, markers.end());
    EXPECT_LT(QLineF(location->at, *pixel).length(), 1.5);
}

}  // namespace
}  // namespace tellurim
