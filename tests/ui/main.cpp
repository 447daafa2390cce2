// Test main of the window tests: one QApplication for all tests, and a
// watchdog that fails the running test when a modal window opens that the
// test did not handle itself, and closes it so that nothing hangs.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace {

void closeUnexpectedModal()
{
    // Only a window still open at the next look counts: a tick that falls
    // just after a test opened a box it answers itself is no failure.
    static QPointer<QWidget> seen;
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || modal != seen) {
        seen = modal;
        return;
    }
    seen = nullptr;
    ADD_FAILURE() << "unexpected modal window \"" << modal->windowTitle().toStdString() << "\" ("
                  << modal->metaObject()->className() << ")";
    if (auto* dialog = qobject_cast<QDialog*>(modal))
        dialog->reject();
    else
        modal->close();
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);

    // Only runs while an event loop does, which a modal window always starts.
    QTimer watchdog;
    watchdog.setInterval(1000);
    QObject::connect(&watchdog, &QTimer::timeout, &closeUnexpectedModal);
    watchdog.start();

    return RUN_ALL_TESTS();
}
