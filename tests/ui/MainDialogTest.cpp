// Wiring of the main window: focus, keys, lists, tab order, texts.

#include "workspace/ModelEngine.h"
#include "workspace/InteractionMessageSink.h"
#include "ui/QtInteraction.h"
#include "support/FixedClock.h"
#include "support/ScriptedInteraction.h"
#include "support/TestEnvironment.h"
#include "workspace/Workspace.h"
#include "ui/AboutDialog.h"
#include "ui/MainDialog.h"
#include "ui/WindowHarness.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSet>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTest>
#include <QTimer>

namespace tellurim {
namespace {

TEST(MainDialog, TitleFixedSizeAndEveryTooltip)
{
    ScriptedInteraction ui;
    Window w(ui);
    EXPECT_EQ(w.dialog.windowTitle(),
              QStringLiteral("Tellurim: calculation of Earth's magnetic field from Magnetic Models"));
    EXPECT_EQ(w.dialog.minimumSize(), w.dialog.maximumSize());
    EXPECT_FALSE(w.dialog.windowFlags() & Qt::WindowMaximizeButtonHint);
    int tips = 0;
    for (const FieldSpec& spec : fieldTable()) {
        auto* widget = w.dialog.findChild<QWidget*>(QString::fromUtf8(spec.name.data(),
                                                                      static_cast<qsizetype>(spec.name.size())));
        ASSERT_NE(widget, nullptr) << spec.name;
        EXPECT_EQ(widget->toolTip().toStdString(), std::string(spec.toolTip)) << spec.name;
        tips += widget->toolTip().isEmpty() ? 0 : 1;
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            EXPECT_EQ(edit->isReadOnly(), !spec.editable) << spec.name;
        }
    }
    for (const ButtonSpec& spec : buttonTable()) {
        QPushButton* button = w.dialog.button(spec.command);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->objectName().toStdString(), std::string(spec.name));
        EXPECT_EQ(button->toolTip().toStdString(), std::string(spec.toolTip));
        tips += button->toolTip().isEmpty() ? 0 : 1;
    }
    EXPECT_EQ(tips, 46);
    EXPECT_EQ(w.edit("CPOLAR2")->toolTip(),
              QStringLiteral("for Latitude>55\u00B0, rate of change of polar grid variation"));
    EXPECT_TRUE(w.button("Recalc")->isDefault());
    EXPECT_TRUE(w.button("MakeGrid")->isEnabled());
    EXPECT_TRUE(w.button("ShowPoles")->isEnabled());
    EXPECT_EQ(w.list("IHEM_NS")->itemText(0), QStringLiteral("North"));
    EXPECT_EQ(w.list("JHEM_EW")->itemText(1), QStringLiteral("East"));
}

// The room a line edit has for its text, as it paints: its contents inside
// the frame, less the text margins and two pixels each side.
int textRoom(const QLineEdit& edit)
{
    QStyleOptionFrame option;
    option.initFrom(&edit);
    option.lineWidth = edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &edit);
    option.state |= QStyle::State_Sunken;
    const QRect contents = edit.style()->subElementRect(QStyle::SE_LineEditContents, &option, &edit);
    const QMargins margins = edit.textMargins();
    return std::min(contents.width(), edit.contentsRect().width()) - margins.left() - margins.right() - 4;
}

TEST(MainDialog, EveryNumberFieldShowsItsWidestTextWhole)
{
    ScriptedInteraction ui;
    Window w(ui);
    int checked = 0;
    for (const FieldSpec& spec : fieldTable()) {
        const std::string widest = widestText(spec);
        if (widest.empty())
            continue;
        QLineEdit* edit = w.edit(std::string(spec.name).c_str());
        ASSERT_NE(edit, nullptr) << spec.name;
        for (char digit = '0'; digit <= '9'; ++digit) {
            QString text = QString::fromStdString(widest);
            text.replace(QLatin1Char('0'), QLatin1Char(digit));
            EXPECT_LE(edit->fontMetrics().horizontalAdvance(text), textRoom(*edit))
                << spec.name << " " << text.toStdString();
        }
        ++checked;
    }
    EXPECT_EQ(checked, 30);  // all but the two lists and the three free texts
    // The cases reported: feet in exponent form, a ten-character rate.
    EXPECT_GE(widestText(fieldSpec(Field::ALTF)).size(), std::string("1.31234e+06").size());
    EXPECT_GE(widestText(fieldSpec(Field::BZ2)).size(), std::string("-1.23457e-05").size());
}

TEST(MainDialog, EveryControlHasAUniqueAccessibleNameAndItsTooltipAsDescription)
{
    ScriptedInteraction ui;
    Window w(ui);
    QSet<QString> names;
    const auto controls = w.dialog.findChildren<QWidget*>();
    int count = 0;
    for (QWidget* control : controls) {
        if (!qobject_cast<QLineEdit*>(control) && !qobject_cast<QComboBox*>(control) &&
            !qobject_cast<QPushButton*>(control))
            continue;
        // A combo box's own line edit or view is not a control of its own.
        if (qobject_cast<QComboBox*>(control->parentWidget()))
            continue;
        const QString name = control->accessibleName();
        EXPECT_FALSE(name.isEmpty()) << control->objectName().toStdString();
        EXPECT_FALSE(names.contains(name)) << name.toStdString();
        EXPECT_EQ(control->accessibleDescription(), control->toolTip()) << name.toStdString();
        names.insert(name);
        ++count;
    }
    // The grid-north line adds its system list, easting, northing, convergence
    // and grid declination; the model list is one more.
    EXPECT_EQ(count, static_cast<int>(kFieldCount + buttonTable().size()) + 5 + 1);
    EXPECT_EQ(w.edit("ILATD")->accessibleName(), QStringLiteral("Latitude degrees"));
    EXPECT_EQ(w.edit("DEC")->accessibleName(), QStringLiteral("Declination"));
    EXPECT_EQ(w.button("NewModel")->accessibleName(), QStringLiteral("New Model"));
}

TEST(MainDialog, TabVisitsTheInputFieldsInOrderThenTheModelsAndTheButtons)
{
    ScriptedInteraction ui;
    Window w(ui);
    w.focus(w.edit("Location"));
    QStringList visited{QApplication::focusWidget()->objectName()};
    for (int i = 0; i < 32; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(visited.join(QLatin1Char(' ')).toStdString(),
              "Location ILATD ILATM XLATS DLAT IHEM_NS ILOND ILONM XLONS DLON JHEM_EW "
              "ALTF ALTM IMONTH IDAY IYR DDATE ModelChoice GridSystem GridEasting GridNorthing ShowPoles "
              "NewModel SaveLocation GetLocation PrintLocation ExportLocation MakeGrid Recalc About Help Close "
              "Location");
    EXPECT_TRUE(ui.transcript().empty());
}

TEST(MainDialog, LeavingAFieldConvertsAndRecalculates)
{
    ScriptedInteraction ui;
    Window w(ui);
    w.workspace.locationChanged = 0;
    w.replaceText(w.edit("ALTM"), QStringLiteral("31"));
    w.edit("ALTF")->setText(QStringLiteral("0"));  // rewritten by the conversion
    w.focus(w.edit("IMONTH"));
    EXPECT_EQ(w.edit("ALTF")->text(), QStringLiteral("101.706"));
    EXPECT_EQ(w.workspace.locationChanged, 1);

    // Nothing typed: leaving still converts.
    w.workspace.locationChanged = 0;
    w.focus(w.edit("ILATM"));
    w.focus(w.edit("ILATD"));
    EXPECT_EQ(w.workspace.locationChanged, 1);
    EXPECT_TRUE(ui.transcript().empty());
}

TEST(MainDialog, EnterInTheMetresFieldConvertsWhileTheFocusStays)
{
    ScriptedInteraction ui;
    Window w(ui);
    w.replaceText(w.edit("ALTM"), QStringLiteral("100"));
    QTest::keyClick(w.edit("ALTM"), Qt::Key_Return);
    EXPECT_EQ(w.edit("ALTF")->text(), QStringLiteral("328.084"));
    EXPECT_EQ(QApplication::focusWidget(), w.edit("ALTM"));
    EXPECT_TRUE(w.dialog.isVisible());
}

TEST(MainDialog, FileDialogFiltersKeepTheirOrderAndMatchAnyCase)
{
    FileRequest request;
    request.filterDescription = "Magnetic model files (*.cof)";
    request.pattern = "*.cof";
    request.moreFilters = {{"Magnetic model files (*.cof, *.shc)", "*.cof *.shc"}};
    EXPECT_EQ(nameFiltersFor(request),
              (QStringList{QStringLiteral("Magnetic model files (*.cof) (*.[cC][oO][fF])"),
                           QStringLiteral("Magnetic model files (*.cof, *.shc) (*.[cC][oO][fF] *.[sS][hH][cC])")}));
}

TEST(MainDialog, BadValueShowsItsMessageOnceAndReturnsTheFocusWithTextSelected)
{
    // Real message boxes, which take the focus themselves while open.
    QtInteraction interaction;
    Window w(interaction);
    interaction.setParent(&w.dialog);
    QStringList seen;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            seen << box->text();
            box->accept();
        }
    });
    answer.start(20);

    w.replaceText(w.edit("ILATM"), QStringLiteral("abc"));
    w.focus(w.edit("XLATS"));
    QTest::qWait(200);
    answer.stop();

    EXPECT_EQ(seen, QStringList{QStringLiteral("Please enter an integer.")});
    // (the window gets the focus back when it is active again)
    EXPECT_EQ(w.dialog.focusWidget(), w.edit("ILATM"));
    EXPECT_EQ(w.edit("ILATM")->selectedText(), QStringLiteral("abc"));
    EXPECT_EQ(w.workspace.record.ILATM, 30);
}

TEST(MainDialog, PickFromTheOpenedListActsWhenItClosesArrowKeysDoNot)
{
    ScriptedInteraction ui;
    Window w(ui);
    QComboBox* hemisphere = w.list("IHEM_NS");
    ASSERT_EQ(hemisphere->currentIndex(), 1);
    w.focus(hemisphere);  // leaves the name field: takes and recalculates
    const float south = w.workspace.results().BZ;
    QTest::keyClick(hemisphere, Qt::Key_Up);  // closed list: selection only
    QCoreApplication::processEvents();
    EXPECT_EQ(hemisphere->currentIndex(), 0);
    EXPECT_EQ(w.workspace.record.IHEM_NS, 1);
    EXPECT_EQ(w.workspace.results().BZ, south);

    QTest::keyClick(hemisphere, Qt::Key_Down);
    hemisphere->showPopup();
    QAbstractItemView* popup = hemisphere->view();
    popup->setCurrentIndex(hemisphere->model()->index(0, 0));
    QTest::keyClick(popup, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(w.workspace.record.IHEM_NS, 0);
    EXPECT_NE(w.workspace.results().BZ, south);
    EXPECT_EQ(w.edit("BZ")->text().toStdString(), formatSingle(w.workspace.results().BZ));
}

TEST(MainDialog, RecalcClickedLeavesTheFieldThenRecalculates)
{
    ScriptedInteraction ui;
    Window w(ui);
    w.replaceText(w.edit("DLON"), QStringLiteral("105.25"));
    QTest::mouseClick(w.button("Recalc"), Qt::LeftButton);
    EXPECT_EQ(w.edit("ILOND")->text(), QStringLiteral("105"));
    EXPECT_EQ(w.edit("ILONM")->text(), QStringLiteral("15"));
    EXPECT_EQ(w.workspace.longitudeChanged(), 0);
}

TEST(MainDialog, HelpAndEscape)
{
    ScriptedInteraction ui;
    Window w(ui);
    QTest::mouseClick(w.button("Help"), Qt::LeftButton);
    ASSERT_EQ(ui.transcript().size(), 1u);
    EXPECT_EQ(ui.transcript()[0].caption, "Tellurim Model File Description");

    // Closing does not take the fields: a bad value being edited is not
    // complained about on the way out.
    ui.clearTranscript();
    w.replaceText(w.edit("ILATM"), QStringLiteral("abc"));
    QTest::keyClick(w.edit("ILATM"), Qt::Key_Escape);
    EXPECT_FALSE(w.dialog.isVisible());
    EXPECT_EQ(w.dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(ui.transcript().empty());
}

TEST(MainDialog, UncertaintyAndZoneLinesFollowTheResults)
{
    ScriptedInteraction ui;
    Window w(ui);
    QLabel* zone = w.dialog.findChild<QLabel*>(QStringLiteral("CompassZone"));
    QLabel* uncertainty = w.dialog.findChild<QLabel*>(QStringLiteral("Uncertainty"));
    ASSERT_TRUE(zone && uncertainty);
    EXPECT_FALSE(zone->accessibleName().isEmpty());
    EXPECT_FALSE(uncertainty->accessibleName().isEmpty());
    w.replaceText(w.edit("DLAT"), QStringLiteral("75"));
    w.list("IHEM_NS")->setCurrentIndex(0);
    w.replaceText(w.edit("DLON"), QStringLiteral("95"));
    w.list("JHEM_EW")->setCurrentIndex(0);
    QTest::mouseClick(w.button("Recalc"), Qt::LeftButton);
    EXPECT_EQ(zone->text().toStdString(), w.workspace.accuracy().zoneText);
    EXPECT_TRUE(zone->text().startsWith(QStringLiteral("CAUTION ZONE")));
    EXPECT_FALSE(zone->styleSheet().isEmpty());
    EXPECT_EQ(uncertainty->text().toStdString(), w.workspace.accuracy().uncertainty);
    EXPECT_FALSE(uncertainty->toolTip().isEmpty());

    w.replaceText(w.edit("DLAT"), QStringLiteral("40"));
    QTest::mouseClick(w.button("Recalc"), Qt::LeftButton);
    EXPECT_TRUE(zone->styleSheet().isEmpty());
    EXPECT_TRUE(ui.transcript().empty());
}

TEST(AboutDialog, NamesPlatformAndVersionWithCreditsAndNotice)
{
    AboutDialog about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Tellurim"));
    const auto* icon = about.findChild<QLabel*>(QStringLiteral("AboutIcon"));
    ASSERT_NE(icon, nullptr);
    EXPECT_FALSE(icon->pixmap().isNull());
    EXPECT_TRUE(AboutDialog::versionLine().startsWith(QStringLiteral("Tellurim for Linux Version ")));
    const auto* product = about.findChild<QLabel*>(QStringLiteral("AboutProduct"));
    ASSERT_NE(product, nullptr);
    EXPECT_TRUE(product->text().startsWith(AboutDialog::versionLine() + QStringLiteral("\n\n")));
    const auto* notice = about.findChild<QLabel*>(QStringLiteral("AboutNotice"));
    ASSERT_NE(notice, nullptr);
    EXPECT_FALSE(notice->text().isEmpty());
}

}  // namespace
}  // namespace tellurim
