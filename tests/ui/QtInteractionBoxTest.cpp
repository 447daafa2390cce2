// The real message boxes' buttons.

#include "ui/QtInteraction.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

namespace tellurim {
namespace {

TEST(QtInteractionBox, AYesNoQuestionHasNoAsItsDefaultAndItsEscape)
{
    QtInteraction interaction;
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        QMessageBox::StandardButtons shown;
        QTimer press;
        QObject::connect(&press, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown = box->standardButtons();
                QTest::keyClick(box, key);
            }
        });
        press.start(20);
        const Answer answer =
            interaction.ask(Message{Icon::Question, "Tellurim", "Create it anyway?", Buttons::YesNo});
        press.stop();
        EXPECT_EQ(answer, Answer::No) << key;
        EXPECT_EQ(shown, QMessageBox::Yes | QMessageBox::No);
    }
}

}  // namespace
}  // namespace tellurim
