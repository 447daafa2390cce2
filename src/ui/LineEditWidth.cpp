#include "ui/LineEditWidth.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>

#include <algorithm>

namespace tellurim {

int lineEditWidthFor(const QLineEdit& edit, const std::string& widest)
{
    // Any digit may stand where the pattern has a '0'.
    const QFontMetrics metrics = edit.fontMetrics();
    int advance = 0;
    for (char digit = '0'; digit <= '9'; ++digit) {
        QString text = QString::fromStdString(widest);
        text.replace(QLatin1Char('0'), QLatin1Char(digit));
        advance = std::max(advance, metrics.horizontalAdvance(text));
    }
    // As QLineEdit sizes itself: two pixels of margin each side inside the
    // frame, the text margins, and one more for the cursor.
    const QMargins text = edit.textMargins();
    const QMargins contents = edit.contentsMargins();
    const int width = advance + 2 * 2 + 1 + text.left() + text.right() + contents.left() + contents.right();
    QStyleOptionFrame option;
    option.initFrom(&edit);
    option.lineWidth = edit.hasFrame() ? edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &edit) : 0;
    option.midLineWidth = 0;
    option.state |= QStyle::State_Sunken;
    const QSize size = edit.style()->sizeFromContents(QStyle::CT_LineEdit, &option,
                                                      QSize(width, edit.sizeHint().height()), &edit);
    return size.width();
}

}  // namespace tellurim
