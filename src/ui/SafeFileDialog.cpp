#include "ui/SafeFileDialog.h"

#include "platform/FileChoice.h"

#include <QAbstractFileIconProvider>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeDatabase>

#include <sys/stat.h>

#include <utility>

namespace tellurim {
namespace {

// Icons and type names from the name alone: the model's default provider
// asks the MIME database, which reads a file's first bytes when its name
// does not tell.
class NameOnlyIconProvider final : public QAbstractFileIconProvider {
public:
    QIcon icon(IconType type) const override { return QAbstractFileIconProvider::icon(type); }
    QIcon icon(const QFileInfo& info) const override { return icon(info.isDir() ? Folder : File); }
    QString type(const QFileInfo& info) const override
    {
        if (info.isDir())
            return QStringLiteral("Folder");
        const QMimeType mime = QMimeDatabase().mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
        return mime.isDefault() ? QStringLiteral("File") : mime.comment();
    }
};

bool systemFolder(const QString& path)
{
    return inSystemFolder(QFile::encodeName(path).toStdString());
}

// A name that stands for a device, a pipe or a socket.
bool namesSpecialFile(const QString& path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && !S_ISREG(info.st_mode) &&
           !S_ISDIR(info.st_mode);
}

}  // namespace

SafeFileDialog::SafeFileDialog(QWidget* parent, const QString& caption)
    : QFileDialog(parent, caption), m_icons(std::make_unique<NameOnlyIconProvider>())
{
    setOption(QFileDialog::DontUseNativeDialog);
    setOption(QFileDialog::DontUseCustomDirectoryIcons);
    setIconProvider(m_icons.get());
    // Never where an earlier dialog of the process left off.
    setDirectory(QDir::homePath());
    if (auto* edit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
        connect(edit, &QLineEdit::textEdited, this, [this] {
            if (!m_heldSuffix.isEmpty())
                setDefaultSuffix(std::exchange(m_heldSuffix, QString()));
        });
    }
}

SafeFileDialog::~SafeFileDialog() = default;

QString SafeFileDialog::startFolderFor(const QString& initial)
{
    const QFileInfo info(initial.isEmpty() ? QStringLiteral("x") : initial);
    const QString folder = info.absolutePath();
    if (systemFolder(folder) || !QFileInfo(folder).isDir())
        return QDir::homePath();
    return folder;
}

void SafeFileDialog::startAt(const QString& initial)
{
    setDirectory(startFolderFor(initial));
    if (!initial.isEmpty())
        selectFile(QFileInfo(initial).fileName());
}

void SafeFileDialog::accept()
{
    // The name as typed, before the dialog adds its default suffix.
    const auto* edit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    const QString typed = edit != nullptr ? edit->text().trimmed() : QString();
    const QString suffix = defaultSuffix();
    // The dialog reads the name again, suffix and all, whenever it is asked
    // for the files chosen, so the suffix stays off until the name changes.
    if (!typed.isEmpty() && !suffix.isEmpty() && namesSpecialFile(directory().absoluteFilePath(typed))) {
        m_heldSuffix = suffix;
        setDefaultSuffix(QString());
    }
    QFileDialog::accept();
}

}  // namespace tellurim
