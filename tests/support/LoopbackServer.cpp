#include "support/LoopbackServer.h"

#include <sys/socket.h>
#include <QSslCertificate>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <functional>
#include <future>
#include <thread>

namespace {

constexpr int kPollMs = 20;
constexpr qsizetype kMaxRequestBytes = 64 * 1024;

// The body length that a request head announces.
qsizetype ContentLength(const QByteArray &head) {
    for (const QByteArray &line : head.split('\n')) {
        if (line.toLower().startsWith("content-length:")) {
            return line.mid(15).trimmed().toLongLong();
        }
    }
    return 0;
}

bool IsComplete(const QByteArray &request) {
    const qsizetype headEnd = request.indexOf("\r\n\r\n");
    return headEnd >= 0 && request.size() >= headEnd + 4 + ContentLength(request.left(headEnd));
}

// Reads one request, its head and the body it announces; "" when the client has gone, or when
// `giveUp` says so before the request began.
QByteArray ReadRequest(QTcpSocket &socket, const std::atomic<bool> &stopping,
                       const std::function<bool()> &giveUp) {
    QByteArray request;
    while (!IsComplete(request) && request.size() < kMaxRequestBytes && !stopping) {
        // A TLS socket may hold what arrived with its handshake, which no wait reports.
        if (socket.bytesAvailable() > 0 || socket.waitForReadyRead(kPollMs)) {
            request += socket.readAll();
        } else if (socket.state() != QAbstractSocket::ConnectedState ||
                   (request.isEmpty() && giveUp())) {
            break;
        }
    }
    return request;
}

// Hands out its connections as TLS sockets that have not begun their handshake.
class TlsServer : public QTcpServer {
protected:
    void incomingConnection(qintptr descriptor) override {
        auto *socket = new QSslSocket(this);
        socket->setSocketDescriptor(descriptor);
        addPendingConnection(socket);
    }
};

std::unique_ptr<QTcpServer> MakeServer(const std::optional<LoopbackServer::Tls> &tls) {
    return tls ? std::make_unique<TlsServer>() : std::make_unique<QTcpServer>();
}

bool StartTls(QTcpSocket &socket, const LoopbackServer::Tls &tls) {
    auto &secure = static_cast<QSslSocket &>(socket);
    secure.setLocalCertificate(QSslCertificate(tls.certificatePem));
    secure.setPrivateKey(QSslKey(tls.keyPem, QSsl::Rsa));
    secure.startServerEncryption();
    return secure.waitForEncrypted(5000);
}

QByteArray StatusLine(int status) {
    return "HTTP/1.1 " + QByteArray::number(status) + " Scripted\r\n";
}

}  // namespace

bool LoopbackServer::Exchange::send(const QByteArray &bytes) {
    if (mSocket.write(bytes) != bytes.size()) {
        return false;
    }
    while (mSocket.bytesToWrite() > 0 && !mStopping) {
        if (!mSocket.waitForBytesWritten(kPollMs) &&
            mSocket.state() != QAbstractSocket::ConnectedState) {
            return false;
        }
    }
    return mSocket.state() == QAbstractSocket::ConnectedState;
}

void LoopbackServer::Exchange::drip(const QByteArray &bytes, std::chrono::milliseconds interval) {
    for (const char byte : bytes) {
        if (mStopping || !send(QByteArray(1, byte))) {
            return;
        }
        // Waiting for input notices a client that has closed its end.
        if (mSocket.waitForReadyRead(int(interval.count())) || mSocket.atEnd()) {
            mSocket.readAll();
        }
        if (mSocket.state() != QAbstractSocket::ConnectedState) {
            return;
        }
    }
}

void LoopbackServer::Exchange::reset() {
    mSocket.flush();
    const linger abortive{1, 0};
    ::setsockopt(int(mSocket.socketDescriptor()), SOL_SOCKET, SO_LINGER, &abortive,
                 sizeof abortive);
    mSocket.abort();
}

LoopbackServer::LoopbackServer(Script script, quint16 port)
    : LoopbackServer(std::move(script), Options{.port = port}) {}

LoopbackServer::LoopbackServer(Script script, const Options &options)
    : mScript(std::move(script)), mOptions(options) {
    std::promise<quint16> listening;
    std::future<quint16> listeningPort = listening.get_future();
    mThread = std::thread([this, &listening] {
        const std::unique_ptr<QTcpServer> server = MakeServer(mOptions.tls);
        server->listen(QHostAddress::LocalHost, mOptions.port);
        listening.set_value(server->serverPort());
        while (!mStopping) {
            if (!server->waitForNewConnection(kPollMs)) {
                continue;
            }
            while (QTcpSocket *socket = server->nextPendingConnection()) {
                serve(*socket, *server);
                delete socket;
            }
        }
    });
    mPort = listeningPort.get();
}

LoopbackServer::~LoopbackServer() {
    mStopping = true;
    mThread.join();
}

void LoopbackServer::serve(QTcpSocket &socket, const QTcpServer &server) {
    ++mConnections;
    std::this_thread::sleep_for(mOptions.newConnectionDelay);
    if (mOptions.tls && !StartTls(socket, *mOptions.tls)) {
        return;
    }
    bool first = true;
    // An idle kept connection gives way to a new client, as one thread serves them all.
    const auto anotherClientWaits = [&] { return !first && server.hasPendingConnections(); };
    do {
        QByteArray head = ReadRequest(socket, mStopping, anotherClientWaits);
        if (!first && head.isEmpty()) {
            break;
        }
        first = false;
        {
            const std::lock_guard lock(mMutex);
            mRequests.append(head);
        }
        Exchange exchange(socket, mStopping, std::move(head));
        mScript(exchange);
    } while (mOptions.keepAlive && socket.state() == QAbstractSocket::ConnectedState);
    if (socket.state() == QAbstractSocket::ConnectedState) {
        socket.disconnectFromHost();
        if (socket.state() != QAbstractSocket::UnconnectedState) {
            socket.waitForDisconnected(1000);
        }
    }
}

QString LoopbackServer::root() const {
    return (mOptions.tls ? QStringLiteral("https://127.0.0.1:%1")
                         : QStringLiteral("http://127.0.0.1:%1"))
        .arg(mPort);
}

QList<QByteArray> LoopbackServer::requests() const {
    const std::lock_guard lock(mMutex);
    return mRequests;
}

QList<QByteArray> LoopbackServer::requestLines() const {
    QList<QByteArray> lines;
    for (const QByteArray &request : requests()) {
        lines.append(request.left(request.indexOf("\r\n")));
    }
    return lines;
}

LoopbackServer::Script LoopbackServer::sending(QByteArray bytes) {
    return [bytes = std::move(bytes)](Exchange &exchange) { exchange.send(bytes); };
}

QByteArray LoopbackServer::response(int status, const QByteArray &body, const QByteArray &headers) {
    return keepAliveResponse(status, body, "Connection: close\r\n" + headers);
}

QByteArray LoopbackServer::keepAliveResponse(int status, const QByteArray &body,
                                             const QByteArray &headers) {
    return StatusLine(status) + "Content-Length: " + QByteArray::number(body.size()) + "\r\n" +
           headers + "\r\n" + body;
}

QByteArray LoopbackServer::chunkedResponse(int status, const QList<QByteArray> &chunks) {
    QByteArray bytes =
        StatusLine(status) + "Transfer-Encoding: chunked\r\nConnection: close\r\n\r\n";
    for (const QByteArray &chunk : chunks) {
        bytes += QByteArray::number(chunk.size(), 16) + "\r\n" + chunk + "\r\n";
    }
    return bytes + "0\r\n\r\n";
}
