#include "ui/ApplicationIcon.h"

// The resources live in a static library: a linker keeps their registration
// only when something calls it, which must happen outside any namespace.
static void registerTellurimResources()
{
    Q_INIT_RESOURCE(tellurim);
}

namespace tellurim {

QIcon applicationIcon()
{
    static const QIcon icon = [] {
        registerTellurimResources();
        QIcon loaded(QStringLiteral(":/tellurim.png"));
        loaded.addFile(QStringLiteral(":/tellurim-64.png"));
        return loaded;
    }();
    return icon;
}

}  // namespace tellurim
