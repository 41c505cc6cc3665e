#include <QCoreApplication>
#include <QFile>
#include <cstdio>

#include "cli/CommandLine.h"
#include "ui/QuorvaneApplication.h"
#include "ui/WindowOnBus.h"
#include "ui/frmMain.h"

namespace {

// A run from a terminal needs no display, and makes no widget.
int RunFromTerminal(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QFile input;
    QFile output;
    QFile errors;
    input.open(stdin, QIODevice::ReadOnly);
    output.open(stdout, QIODevice::WriteOnly | QIODevice::Unbuffered);
    errors.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered);
    return quorvane::RunCommandLine(QCoreApplication::arguments(), input, output, errors);
}

// In a Wayland session Qt would choose its Wayland plugin, where keep-on-top, the centred place
// and the see-through corners cannot be had: Wayland lets a client neither raise nor place
// itself. Such desktops also run XWayland, so with an X display there and no platform chosen by
// the user the window runs on X11, and on Wayland only where there is no X display.
bool PrefersX11() {
    return qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
           !qEnvironmentVariableIsEmpty("DISPLAY");
}

}  // namespace

int main(int argc, char **argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }
    const std::optional<quorvane::WindowRun> run = quorvane::WindowRunOf(arguments);
    if (!run) {
        return RunFromTerminal(argc, argv);
    }
    if (!run->service.choice) {
        std::fprintf(stderr, "%s\n", qPrintable(run->service.error));
        return quorvane::ExitStatus::Usage;
    }
    char platform[] = "-platform";
    char x11First[] = "xcb;wayland";
    char *windowArguments[] = {argv[0], platform, x11First, nullptr};
    int windowArgumentCount = PrefersX11() ? 3 : 1;
    quorvane::QuorvaneApplication app(windowArgumentCount, windowArguments);
    // One window a session: a later start hands its request to the window that runs, also to one
    // that took the name while this one was starting.
    using quorvane::WindowOnBus;
    if (WindowOnBus::AskRunningWindow(run->translateSelection)) {
        return 0;
    }
    quorvane::frmMain window(*run->service.choice);
    WindowOnBus onBus(window);
    if (onBus.ClaimName() == WindowOnBus::Claim::HeldByAnother &&
        WindowOnBus::AskRunningWindow(run->translateSelection)) {
        return 0;
    }
    window.show();
    if (run->translateSelection) {
        QMetaObject::invokeMethod(
            &window, [&window] { window.TranslateSelection(); }, Qt::QueuedConnection);
    }
    return app.exec();
}
