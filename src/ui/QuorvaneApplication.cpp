#include "ui/QuorvaneApplication.h"

#include <QIcon>
#include <QMessageBox>
#include <cstdlib>

#include "common/BuildInfo.h"
#include "common/RuntimeError.h"

namespace quorvane {

namespace {

constexpr qint32 kInternalError = 51;

}  // namespace

QuorvaneApplication::QuorvaneApplication(int &argc, char **argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Quorvane"));
    setApplicationDisplayName(QStringLiteral("Quorvane"));
    setApplicationVersion(QStringLiteral(QUORVANE_VERSION));
    setWindowIcon(QIcon(QStringLiteral(":/skin/icon.ico")));
}

bool QuorvaneApplication::notify(QObject *receiver, QEvent *event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const RuntimeError &error) {
        EndAfterError(error.number(), error.description());
    } catch (const std::exception &error) {
        EndAfterError(kInternalError, QString::fromLocal8Bit(error.what()));
    }
    return true;
}

void QuorvaneApplication::EndAfterError(qint32 number, const QString &description) {
    QMessageBox::critical(nullptr, QStringLiteral("Quorvane"),
                          QStringLiteral("运行时错误 '%1':\n\n%2").arg(number).arg(description));
    setQuitOnLastWindowClosed(false);
    closeAllWindows();
    exit(EXIT_FAILURE);
}

}  // namespace quorvane
