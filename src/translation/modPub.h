#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>

#include "translation/QueryEncoding.h"

namespace quorvane {

struct HttpRequest;
struct HttpAnswer;
struct FetchContext;

// Open connections and DNS answers that one exchange leaves for the next, so that translations
// in one session skip the handshakes. Exchanges using it may run on any thread, one at a time.
class ConnectionCache {
public:
    ConnectionCache();
    ~ConnectionCache();
    ConnectionCache(const ConnectionCache &) = delete;
    ConnectionCache &operator=(const ConnectionCache &) = delete;

private:
    friend HttpAnswer Fetch(const HttpRequest &request, const FetchContext &context);
    struct Share;
    std::unique_ptr<Share> mShare;
};

// Lets another thread abandon an exchange: the exchange then fails at once, without waiting for
// the server.
class FetchCancellation {
public:
    void Cancel();
    bool IsCancelled() const { return mCancelled; }

private:
    friend class ExchangeInProgress;
    std::atomic<bool> mCancelled{false};
    std::mutex mMutex;
    void *mMulti = nullptr;  // the exchange's libcurl multi handle, which Cancel wakes
};

// The bounds of one exchange.
struct FetchLimits {
    std::chrono::milliseconds connectTimeout{10'000};
    std::chrono::milliseconds exchangeTimeout{30'000};
    qsizetype maxBodyBytes = 32 * 1024 * 1024;
    long maxRedirects = 5;
};

struct FetchContext {
    ConnectionCache *connections = nullptr;  // none: a fresh connection for the exchange
    FetchCancellation *cancellation = nullptr;
    FetchLimits limits{};
    // A PEM file of the certificate authorities to trust instead of the system's; certificates
    // are verified either way.
    QString certificateAuthorities{};
    // Called on the exchange's thread with the whole body so far, each time more of it arrives.
    std::function<void(const QByteArray &bodySoFar)> onBody{};
};

struct HttpRequest {
    QString url;
    QByteArray body{};  // not empty: a POST of this body
    QByteArray contentType = "application/x-www-form-urlencoded";
    QList<QByteArray> headers{};  // further "Name: value" lines
    QByteArray userAgent{};       // empty: Quorvane's own
    bool followRedirects = true;
};

struct HttpAnswer {
    bool received = false;  // a whole response arrived
    long status = 0;
    QByteArray body{};
    QString text{};      // the body decoded as UTF-8, whatever its declared charset
    QString redirect{};  // where a redirect that was not followed points
    QString failure{};   // why no response arrived
};

// One blocking HTTP exchange. Raises RuntimeError for an address that cannot be parsed at all.
HttpAnswer Fetch(const HttpRequest &request, const FetchContext &context = {});

// One blocking HTTP GET. Returns the response body decoded as UTF-8, whatever its status or
// declared charset, or "" when the exchange fails, is cancelled, or the address is too long to
// send. Raises RuntimeError for an address that cannot be parsed at all.
QString FetchPage(const QString &url, const FetchContext &context = {});

// The text of `bytes` read in the character set `charset`. Raises RuntimeError for an
// unknown character set.
QString DecodeBytes(const QByteArray &bytes, const QString &charset);

}  // namespace quorvane
