#include <QCoreApplication>
#include <QFile>

#include "cli/CommandLine.h"
#include "ui/QuorvaneApplication.h"
#include "ui/frmMain.h"

namespace {

// Any argument means a run from a terminal: no display is needed, and no widget is made.
int RunFromTerminal(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Quorvane"));
    QFile input;
    QFile output;
    QFile errors;
    input.open(stdin, QIODevice::ReadOnly);
    output.open(stdout, QIODevice::WriteOnly | QIODevice::Unbuffered);
    errors.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered);
    return quorvane::RunCommandLine(QCoreApplication::arguments(), input, output, errors);
}

}  // namespace

int main(int argc, char **argv) {
    if (argc > 1) {
        return RunFromTerminal(argc, argv);
    }
    quorvane::QuorvaneApplication app(argc, argv);
    quorvane::frmMain window;
    window.show();
    return app.exec();
}
