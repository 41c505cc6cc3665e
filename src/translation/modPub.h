#pragma once

#include <QByteArray>
#include <QString>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>

namespace quorvane {

// The value of a query key: every UTF-8 byte of `text` as "%XX", upper-case hexadecimal.
QString EncodeQuery(const QString &text);

// Open connections and DNS answers that one exchange leaves for the next, so that translations
// in one session skip the handshakes. Exchanges using it may run on any thread, one at a time.
class ConnectionCache {
public:
    ConnectionCache();
    ~ConnectionCache();
    ConnectionCache(const ConnectionCache &) = delete;
    ConnectionCache &operator=(const ConnectionCache &) = delete;

private:
    friend QString FetchPage(const QString &url, const struct FetchContext &context);
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

struct FetchContext {
    ConnectionCache *connections = nullptr;  // none: a fresh connection for the exchange
    FetchCancellation *cancellation = nullptr;
};

// One blocking HTTP GET. Returns the response body decoded as UTF-8, whatever its status or
// declared charset, or "" when the exchange fails, is cancelled, or the address is too long to
// send. Raises RuntimeError for an address that cannot be parsed at all.
QString FetchPage(const QString &url, const FetchContext &context = {});

// The text of `bytes` read in the character set `charset`. Raises RuntimeError for an
// unknown character set.
QString DecodeBytes(const QByteArray &bytes, const QString &charset);

// The bounds of every exchange that FetchPage makes.
struct FetchLimits {
    std::chrono::milliseconds connectTimeout{10'000};
    std::chrono::milliseconds exchangeTimeout{30'000};
    qsizetype maxBodyBytes = 32 * 1024 * 1024;
    long maxRedirects = 5;
};

FetchLimits CurrentFetchLimits();
void SetFetchLimits(const FetchLimits &limits);

}  // namespace quorvane
