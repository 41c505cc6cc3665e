#include "ui/QuorvaneApplication.h"

#include <QIcon>

#include "common/BuildInfo.h"

namespace quorvane {

QuorvaneApplication::QuorvaneApplication(int &argc, char **argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Quorvane"));
    setApplicationDisplayName(QStringLiteral("Quorvane"));
    setApplicationVersion(QStringLiteral(QUORVANE_VERSION));
    setWindowIcon(QIcon(QStringLiteral(":/skin/icon.ico")));
}

}  // namespace quorvane
