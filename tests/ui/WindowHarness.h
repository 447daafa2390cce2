#pragma once

// The main window on a real workspace, shown and active, for the window tests.

#include "workspace/ModelEngine.h"
#include "workspace/InteractionMessageSink.h"
#include "support/FixedClock.h"
#include "support/TestEnvironment.h"
#include "ui/MainDialog.h"
#include "workspace/Workspace.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace tellurim {

// A window on a real workspace; boxes go to the given interaction.
struct Window {
    explicit Window(WorkspaceInteraction& interaction)
        : sink(interaction), engine(sink), workspace(engine, interaction, clock), dialog(workspace)
    {
        dialog.show();
        dialog.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }

    QLineEdit* edit(const char* name) { return dialog.findChild<QLineEdit*>(QString::fromLatin1(name)); }
    QComboBox* list(const char* name) { return dialog.findChild<QComboBox*>(QString::fromLatin1(name)); }
    QPushButton* button(const char* name) { return dialog.findChild<QPushButton*>(QString::fromLatin1(name)); }

    void focus(QWidget* widget)
    {
        widget->setFocus(Qt::MouseFocusReason);
        QCoreApplication::processEvents();
    }
    void replaceText(QLineEdit* target, const QString& text)
    {
        focus(target);
        target->selectAll();
        QTest::keyClicks(target, text);
    }

    TempSettings settings;
    FixedClock clock{2026, 3, 15};
    InteractionMessageSink sink;
    ModelEngine engine;
    Workspace workspace;
    MainDialog dialog;
};

}  // namespace tellurim
