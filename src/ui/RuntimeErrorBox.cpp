#include "ui/RuntimeErrorBox.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdlib>

#include "common/RuntimeError.h"

namespace quorvane {

namespace {

constexpr qint32 kInternalError = 51;

void EndAfterError(qint32 number, const QString &description) {
    QMessageBox::critical(nullptr, QStringLiteral("Quorvane"),
                          QStringLiteral("运行时错误 '%1':\n\n%2").arg(number).arg(description));
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::closeAllWindows();
    QCoreApplication::exit(EXIT_FAILURE);
}

}  // namespace

void RunReportingErrors(const std::function<void()> &work) {
    try {
        work();
    } catch (const RuntimeError &error) {
        EndAfterError(error.number(), error.description());
    } catch (const std::exception &error) {
        EndAfterError(kInternalError, QString::fromLocal8Bit(error.what()));
    }
}

}  // namespace quorvane
