// Every command at the keyboard: mnemonics, Alt chords, copying the result,
// Enter in the pole window, and what assistive technology reads.

#include "poles/PoleWindow.h"
#include "support/ScriptedInteraction.h"
#include "ui/PoleDialog.h"
#include "ui/ProgressDialog.h"
#include "ui/WindowHarness.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QLabel>

namespace tellurim {
namespace {

QString accessibleText(QObject* object, QAccessible::Text which)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(object);
    return face != nullptr ? face->text(which) : QString();
}

TEST(WindowKeyboard, AnAltChordNeverEditsAFieldAndMnemonicsReachEveryButton)
{
    ScriptedInteraction ui;
    Window w(ui);
    QLineEdit* name = w.edit("Location");
    w.replaceText(name, QStringLiteral("Boulder"));
    name->selectAll();
    QTest::keyClick(name, Qt::Key_Q, Qt::AltModifier);  // no mnemonic
    QTest::keyClick(name, Qt::Key_J, Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_EQ(name->text(), QStringLiteral("Boulder"));
    QTest::keyClick(name, Qt::Key_X);  // plain typing still types
    EXPECT_EQ(name->text(), QStringLiteral("x"));

    // Every button has a mnemonic of its own.
    QSet<QChar> mnemonics;
    for (const ButtonSpec& spec : buttonTable()) {
        const QString text = w.dialog.button(spec.command)->text();
        const qsizetype at = text.indexOf(QLatin1Char('&'));
        ASSERT_GE(at, 0) << spec.name;
        const QChar key = text.at(at + 1).toLower();
        EXPECT_FALSE(mnemonics.contains(key)) << spec.name;
        mnemonics.insert(key);
    }

    // Alt+M opens Make Grid (cancelled here).
    ui.then(GridArea{});
    QTest::keyClick(w.edit("ALTM"), Qt::Key_M, Qt::AltModifier);
    for (int i = 0; i < 50 && ui.transcript().empty(); ++i)
        QTest::qWait(20);  // a mnemonic clicks as the mouse would, a moment later
    ASSERT_EQ(ui.transcript().size(), 1u);
    EXPECT_EQ(ui.transcript()[0].kind, Prompt::Kind::Grid);
    EXPECT_TRUE(ui.finished());
}

TEST(WindowKeyboard, CtrlCWithNothingSelectedCopiesTheWholeResult)
{
    ScriptedInteraction ui;
    Window w(ui);
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    w.focus(w.edit("ILATM"));
    w.edit("ILATM")->deselect();
    QTest::keyClick(w.edit("ILATM"), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text().toStdString(), w.workspace.resultText());
    EXPECT_NE(clipboard->text().indexOf(QStringLiteral("Incident Field (F):")), -1);

    // A selection is copied as it stands.
    w.focus(w.edit("Location"));
    w.edit("Location")->selectAll();
    QTest::keyClick(w.edit("Location"), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), w.edit("Location")->text());

    // From a button too.
    w.focus(w.button("Recalc"));
    QTest::keyClick(w.button("Recalc"), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text().toStdString(), w.workspace.resultText());
    EXPECT_TRUE(ui.transcript().empty());
}

TEST(WindowKeyboard, ListsAndTheProgressLabelReadAsTheyShouldToAssistiveTechnology)
{
    ScriptedInteraction ui;
    Window w(ui);
    EXPECT_EQ(accessibleText(w.list("IHEM_NS"), QAccessible::Name), QStringLiteral("Latitude hemisphere"));
    EXPECT_EQ(accessibleText(w.list("IHEM_NS"), QAccessible::Value), QStringLiteral("South"));
    EXPECT_EQ(accessibleText(w.list("JHEM_EW"), QAccessible::Name), QStringLiteral("Longitude hemisphere"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(w.list("JHEM_EW"))->role(), QAccessible::ComboBox);

    ProgressDialog progress;
    progress.showPercent(21);
    EXPECT_EQ(accessibleText(progress.percentLabel(), QAccessible::Name), QStringLiteral("21%"));
}

// The pole window on 15 March 2026, over the main window.
struct OpenPoleWindow {
    explicit OpenPoleWindow(ScriptedInteraction& ui) : w(ui), logic(*w.engine.model(), ui, exportState), dialog(start(), &w.dialog)
    {
        dialog.show();
    }
    PoleWindow& start()
    {
        logic.start(PoleDate{3, 15, 2026, w.workspace.record.DDATE});
        return logic;
    }
    Window w;
    PoleExportState exportState;
    PoleWindow logic;
    PoleDialog dialog;
};

TEST(WindowKeyboard, EnterAfterTypingAPoleDateShowsItsPolesAndEnterAgainCloses)
{
    ScriptedInteraction ui;
    OpenPoleWindow open(ui);
    PoleDialog& dialog = open.dialog;
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    const QString before = dialog.edit(PoleField::northDecimalLongitude)->text();

    QLineEdit* year = dialog.edit(PoleField::year);
    year->setFocus();
    year->selectAll();
    QTest::keyClicks(year, QStringLiteral("2029"));
    QTest::keyClick(year, Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(open.logic.date().year, 2029);
    EXPECT_NE(dialog.edit(PoleField::northDecimalLongitude)->text(), before);
    EXPECT_EQ(dialog.edit(PoleField::decimalDate)->text(), QStringLiteral("2029.2"));

    QTest::keyClick(year, Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(ui.transcript().empty());
}

TEST(WindowKeyboard, PoleFieldsAreSizedByWhatTheyHold)
{
    ScriptedInteraction ui;
    OpenPoleWindow open(ui);
    PoleDialog& dialog = open.dialog;
    const auto width = [&](PoleField field) { return dialog.edit(field)->width(); };
    EXPECT_LT(width(PoleField::month), width(PoleField::year));
    EXPECT_LT(width(PoleField::year), width(PoleField::decimalDate));
    EXPECT_LT(width(PoleField::northMinutesLatitude), width(PoleField::northDecimalLatitude));
    EXPECT_LE(dialog.width(), open.w.dialog.width());
    for (std::size_t i = 0; i < kPoleFieldCount; ++i) {
        QLineEdit* edit = dialog.edit(static_cast<PoleField>(i));
        EXPECT_LE(edit->fontMetrics().horizontalAdvance(edit->text()), edit->contentsRect().width())
            << edit->objectName().toStdString();
    }
}

}  // namespace
}  // namespace tellurim
