#include <unistd.h>
#include <QCoreApplication>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "cli/CommandLine.h"
#include "ui/QuorvaneApplication.h"
#include "ui/WindowOnBus.h"
#include "ui/frmMain.h"

namespace {

// A run from a terminal needs no display, and makes no widget.
int RunFromTerminal(const QCoreApplication &) {
    QFile input;
    QFile output;
    QFile errors;
    // The descriptors, not C's streams, whose buffers would hold back a translation that is
    // written as it arrives.
    input.open(stdin, QIODevice::ReadOnly);
    output.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);
    errors.open(STDERR_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);
    return quorvane::RunCommandLine(QCoreApplication::arguments(), input, output, errors);
}

int RunFromTerminal(int argc, char **argv) {
    const QCoreApplication app(argc, argv);
    return RunFromTerminal(app);
}

// In a Wayland session Qt would choose its Wayland plugin, where keep-on-top, the centred place
// and the see-through corners cannot be had: Wayland lets a client neither raise nor place
// itself. Such desktops also run XWayland, so with an X display there and no platform chosen by
// the user the window runs on X11, and on Wayland only where there is no X display.
bool PrefersX11(const QStringList &arguments) {
    const bool platformGiven = std::any_of(
        arguments.cbegin(), arguments.cend(),
        [](const QString &a) { return a == u"-platform" || a.startsWith(u"-platform="); });
    return !platformGiven && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
           !qEnvironmentVariableIsEmpty("DISPLAY");
}

// The window's arguments: the program's own, which Qt's options are taken out of, and the X11
// preference when it applies.
std::vector<char *> WindowArguments(int argc, char **argv, const QStringList &arguments) {
    static char platform[] = "-platform";
    static char x11First[] = "xcb;wayland";
    std::vector<char *> windowArguments(argv, argv + argc);
    if (PrefersX11(arguments)) {
        windowArguments.insert(windowArguments.end(), {platform, x11First});
    }
    windowArguments.push_back(nullptr);
    return windowArguments;
}

}  // namespace

int main(int argc, char **argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }
    std::optional<quorvane::WindowRun> run = quorvane::WindowRunOf(arguments);
    if (!run && !quorvane::MayHoldQtOptions(arguments)) {
        return RunFromTerminal(argc, argv);
    }
    std::vector<char *> windowArguments = WindowArguments(argc, argv, arguments);
    int windowArgumentCount = int(windowArguments.size()) - 1;
    quorvane::QuorvaneApplication app(windowArgumentCount, windowArguments.data());
    if (!run) {
        // What Qt's options leave: a window run, or else a run from a terminal.
        run = quorvane::WindowRunOf(QCoreApplication::arguments());
        if (!run) {
            return RunFromTerminal(app);
        }
    }
    if (!run->service.chain) {
        std::fprintf(stderr, "%s\n", qPrintable(run->service.error));
        return quorvane::ExitStatus::Usage;
    }
    // One window a session: a later start hands its request to the window that runs, also to one
    // that took the name while this one was starting.
    using quorvane::WindowOnBus;
    if (WindowOnBus::AskRunningWindow(run->translateSelection)) {
        return 0;
    }
    // Keys only for a window of its own: a hand-over asks no Secret Service.
    const quorvane::KeyedChain keyed = quorvane::WithKeys(*run->service.chain);
    if (!keyed.chain.chain) {
        std::fprintf(stderr, "%s\n", qPrintable(keyed.chain.error));
        return keyed.failureStatus;
    }
    quorvane::frmMain window(*keyed.chain.chain);
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
