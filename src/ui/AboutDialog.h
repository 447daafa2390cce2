#pragma once

#include <QDialog>

namespace tellurim {

/// The About box: icon, version line naming the platform, credits and the
/// rights notice, and OK.
class AboutDialog final : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);

    /// "Tellurim for <platform> Version <version>".
    static QString versionLine();
    /// The program's version, e.g. "1.0.0".
    static const char* version();
};

}  // namespace tellurim
