// A loopback HTTP server for tests that drive the real program from a shell script.
// usage: scripted_http_server <port> <delay-ms> <page-file> <request-log> [lifetime-s]
// Answers every request with the page after the delay, "{count}" in it replaced by the number of
// the request, logs each request line, and stops by itself after its lifetime (120 s unless
// given).
#include <QCoreApplication>
#include <QFile>
#include <QTimer>
#include <cstdio>
#include <thread>

#include "support/LoopbackServer.h"

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    if (argc < 5) {
        std::fprintf(stderr, "usage: scripted_http_server <port> <delay-ms> <page> <log> [s]\n");
        return 2;
    }
    const auto port = quint16(QByteArray(argv[1]).toUInt());
    const std::chrono::milliseconds delay(QByteArray(argv[2]).toInt());
    QFile pageFile(QString::fromLocal8Bit(argv[3]));
    if (!pageFile.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", argv[3]);
        return 2;
    }
    const QByteArray page = pageFile.readAll();
    const QString logPath = QString::fromLocal8Bit(argv[4]);
    const int lifetimeSeconds = argc > 5 ? QByteArray(argv[5]).toInt() : 120;

    int count = 0;
    LoopbackServer server(
        [&](LoopbackServer::Exchange &exchange) {
            {
                // Closed before the delay, so the request shows in the log while it is held.
                QFile log(logPath);
                if (log.open(QIODevice::Append)) {
                    log.write(exchange.request().left(exchange.request().indexOf("\r\n")) + "\n");
                }
            }
            std::this_thread::sleep_for(delay);
            exchange.send(LoopbackServer::response(
                200, QByteArray(page).replace("{count}", QByteArray::number(++count))));
        },
        port);
    if (server.port() != port) {
        std::fprintf(stderr, "cannot listen on port %u\n", unsigned(port));
        return 1;
    }
    // The log, empty, says that the server listens.
    QFile(logPath).open(QIODevice::Append);
    QTimer::singleShot(lifetimeSeconds * 1000, &app, &QCoreApplication::quit);
    return app.exec();
}
