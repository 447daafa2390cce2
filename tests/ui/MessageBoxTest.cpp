// Real message boxes with long names in them.
#include "ui/QtInteraction.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

namespace tellurim {
namespace {

struct ShownBox {
    int frameWidth = 0;
    int screenWidth = 0;
    QString text;       // as the label holds it
    bool fits = false;  // the label is large enough for all of it
};

ShownBox showAndMeasure(const std::string& text)
{
    QtInteraction interaction;
    ShownBox shown;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible())
            return;
        const auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        if (label != nullptr) {
            shown.frameWidth = box->frameGeometry().width();
            shown.screenWidth = box->screen()->availableGeometry().width();
            shown.text = label->text();
            const QSize needed = label->wordWrap()
                                     ? QSize(label->width(), label->heightForWidth(label->width()))
                                     : label->sizeHint();
            shown.fits = needed.width() <= label->width() && needed.height() <= label->height();
        }
        box->accept();
    });
    look.start(50);
    interaction.ask(Message{Icon::Exclamation, "Tellurim File Open Error", text, Buttons::Ok});
    return shown;
}

TEST(MessageBox, LongUnbrokenNamesWrapInsideTheScreenAndStayWhole)
{
    const std::string plain(300, 'n');
    std::string path;
    while (path.size() < 300)
        path += "/folder" + std::to_string(path.size());
    for (const std::string& name : {plain, path}) {
        const std::string text = "Cannot open Location:\n\n" + name + ".LOC\n\nBe sure Location does not contain\n"
                                                                     "characters illegal for file names";
        const ShownBox shown = showAndMeasure(text);
        ASSERT_GT(shown.screenWidth, 0) << "no box seen";
        EXPECT_LE(shown.frameWidth, shown.screenWidth);
        EXPECT_TRUE(shown.fits) << shown.text.toStdString();
        QString whole = shown.text;
        whole.remove(QChar(0x200B));
        EXPECT_EQ(whole.toStdString(), text);
    }
    // Short texts are shown as they are.
    EXPECT_EQ(showAndMeasure("Please enter an integer.").text, QStringLiteral("Please enter an integer."));
}

}  // namespace
}  // namespace tellurim
