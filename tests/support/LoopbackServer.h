#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

class QTcpServer;
class QTcpSocket;

// An HTTP or HTTPS server on 127.0.0.1, answering on its own thread so that a blocking client
// can talk to it. Each request, its head and the body it announces, is handed to the test's
// script, which writes raw bytes; the connection closes when the script returns.
class LoopbackServer {
public:
    class Exchange {
    public:
        Exchange(QTcpSocket &socket, const std::atomic<bool> &stopping, QByteArray request)
            : mSocket(socket), mStopping(stopping), mRequest(std::move(request)) {}
        const QByteArray &request() const { return mRequest; }
        bool send(const QByteArray &bytes);
        // Sends one byte every `interval` until all are sent or the client has gone.
        void drip(const QByteArray &bytes, std::chrono::milliseconds interval);
        // Ends the connection with a TCP reset instead of an orderly close.
        void reset();

    private:
        QTcpSocket &mSocket;
        const std::atomic<bool> &mStopping;
        QByteArray mRequest;
    };
    using Script = std::function<void(Exchange &)>;

    // The server's certificate and RSA key, in PEM.
    struct Tls {
        QByteArray certificatePem;
        QByteArray keyPem;
    };

    struct Options {
        quint16 port = 0;  // 0 lets the system choose one
        // Serve further requests on a connection until the client closes it or another client
        // connects; otherwise close after one.
        bool keepAlive = false;
        // Held before the first request of each connection is read: a far server's handshakes.
        std::chrono::milliseconds newConnectionDelay{0};
        std::optional<Tls> tls{};  // none: plain HTTP
    };

    explicit LoopbackServer(Script script, quint16 port = 0);
    LoopbackServer(Script script, const Options &options);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer &) = delete;
    LoopbackServer &operator=(const LoopbackServer &) = delete;

    quint16 port() const { return mPort; }  // 0 when it could not listen
    QString root() const;                   // "http://127.0.0.1:<port>", or https://
    QList<QByteArray> requestLines() const;
    QList<QByteArray> requests() const;
    int connections() const { return mConnections; }

    // A script that sends `bytes` and closes.
    static Script sending(QByteArray bytes);
    // A complete response with Content-Length and "Connection: close".
    static QByteArray response(int status, const QByteArray &body, const QByteArray &headers = {});
    // The same, leaving the connection open for the next request.
    static QByteArray keepAliveResponse(int status, const QByteArray &body,
                                        const QByteArray &headers = {});
    // The same status line and headers, with the body in chunked transfer coding.
    static QByteArray chunkedResponse(int status, const QList<QByteArray> &chunks);

private:
    void serve(QTcpSocket &socket, const QTcpServer &server);

    Script mScript;
    Options mOptions;
    std::atomic<int> mConnections{0};
    std::atomic<bool> mStopping{false};
    quint16 mPort = 0;
    mutable std::mutex mMutex;
    QList<QByteArray> mRequests;
    std::thread mThread;
};
