// File dialogs never start in, nor sniff the files of, the kernel's folders,
// and never add an extension to a device's name.

#include "support/TestEnvironment.h"
#include "ui/SafeFileDialog.h"

#include <gtest/gtest.h>

#include <QAbstractFileIconProvider>
#include <QDir>
#include <QLineEdit>
#include <QTest>

#include <filesystem>

namespace tellurim {
namespace {

TEST(SafeFileDialog, NeverStartsInASystemFolder)
{
    TempDir work;
    const QString home = QDir::homePath();
    EXPECT_EQ(SafeFileDialog::startFolderFor(QStringLiteral("/proc/foo.csv")), home);
    EXPECT_EQ(SafeFileDialog::startFolderFor(QStringLiteral("/proc/self/fd/0")), home);
    EXPECT_EQ(SafeFileDialog::startFolderFor(QStringLiteral("/sys/kernel/x.csv")), home);
    EXPECT_EQ(SafeFileDialog::startFolderFor(QStringLiteral("/dev/null")), home);
    // A link into /proc is /proc.
    std::filesystem::create_directory_symlink("/proc", work.path() / "kernel");
    EXPECT_EQ(SafeFileDialog::startFolderFor(QString::fromStdString(work.file("kernel/kmsg"))), home);
    EXPECT_EQ(SafeFileDialog::startFolderFor(QString::fromStdString(work.file("grid.csv"))),
              QString::fromStdString(work.path().string()));
    EXPECT_EQ(SafeFileDialog::startFolderFor(QStringLiteral("/no/such/folder/x.csv")), home);

    SafeFileDialog dialog(nullptr, QStringLiteral("Save"));
    dialog.startAt(QStringLiteral("/proc/foo.csv"));
    EXPECT_EQ(dialog.directory().absolutePath(), home);
    EXPECT_TRUE(dialog.testOption(QFileDialog::DontUseCustomDirectoryIcons));
    ASSERT_NE(dialog.iconProvider(), nullptr);
    EXPECT_EQ(dialog.iconProvider()->type(QFileInfo(QStringLiteral("/proc/kmsg"))), QStringLiteral("File"));
}

TEST(SafeFileDialog, AddsNoExtensionToADeviceName)
{
    TempDir work;
    const auto accepted = [&work](const QString& typed, bool typeMore) {
        SafeFileDialog dialog(nullptr, QStringLiteral("Save"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        dialog.setDefaultSuffix(QStringLiteral("csv"));
        dialog.startAt(QString::fromStdString(work.file("grid")));
        auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QStringList chosen;
        QObject::connect(&dialog, &QFileDialog::filesSelected, [&chosen](const QStringList& f) { chosen = f; });
        if (name == nullptr)
            return QStringList{QStringLiteral("no name field")};
        name->setText(typed);
        dialog.accept();
        if (typeMore) {
            // Typing another name brings the suffix back.
            QTest::keyClicks(name, QStringLiteral("x"));
            chosen << dialog.defaultSuffix();
        }
        return chosen;
    };
    EXPECT_EQ(accepted(QStringLiteral("/dev/null"), false), QStringList{QStringLiteral("/dev/null")});
    EXPECT_EQ(accepted(QStringLiteral("/dev/null"), true),
              (QStringList{QStringLiteral("/dev/null"), QStringLiteral("csv")}));
    EXPECT_EQ(accepted(QStringLiteral("grid"), false), QStringList{QString::fromStdString(work.file("grid.csv"))});
}

}  // namespace
}  // namespace tellurim
