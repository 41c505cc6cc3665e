#pragma once

#include <QByteArray>
#include <QString>
#include <chrono>

namespace quorvane {

// The value of a query key: every UTF-8 byte of `text` as "%XX", upper-case hexadecimal.
QString EncodeQuery(const QString &text);

// One blocking HTTP GET. Returns the response body decoded as UTF-8, whatever its status or
// declared charset, or "" when the exchange fails or the address is too long to send. Raises
// RuntimeError for an address that cannot be parsed at all.
QString FetchPage(const QString &url);

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
