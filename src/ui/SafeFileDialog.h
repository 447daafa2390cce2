#pragma once

#include <QFileDialog>
#include <QString>

#include <memory>

class QAbstractFileIconProvider;

namespace tellurim {

/// Qt's own file dialog, made safe to point anywhere:
/// - file types and icons are told from names only, never by reading a
///   file's content (reading /proc/kmsg would block the window for good);
/// - it starts in the user's home folder instead of a system folder
///   (/proc, /sys, /dev);
/// - the default suffix is not added to a name that already stands for a
///   device, a pipe or a socket (/dev/null stays /dev/null).
class SafeFileDialog final : public QFileDialog {
    Q_OBJECT
public:
    SafeFileDialog(QWidget* parent, const QString& caption);
    ~SafeFileDialog() override;

    /// Starts in the folder of initial (a path, or a bare name for the current
    /// folder) and offers its file name; a system folder, or one that does not
    /// exist, gives the home folder.
    void startAt(const QString& initial);

    /// The folder a dialog offered initial starts in.
    static QString startFolderFor(const QString& initial);

public slots:
    void accept() override;

private:
    std::unique_ptr<QAbstractFileIconProvider> m_icons;
    QString m_heldSuffix;  ///< the default suffix, held back for a device's name
};

}  // namespace tellurim
