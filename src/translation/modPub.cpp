#include "translation/modPub.h"

#include <curl/curl.h>
#include <QStringDecoder>
#include <QStringEncoder>
#include <memory>

#include "common/RuntimeError.h"

namespace quorvane {

namespace {

FetchLimits gFetchLimits;

// libcurl takes no longer string (CURL_MAX_INPUT_LENGTH). A longer address, from a very long
// text, is an exchange that cannot be made, not a malformed address.
constexpr qsizetype kLongestAddress = 8'000'000;

struct CurlEasyDeleter {
    void operator()(CURL *handle) const { curl_easy_cleanup(handle); }
};
using CurlEasy = std::unique_ptr<CURL, CurlEasyDeleter>;

struct CurlUrlDeleter {
    void operator()(CURLU *url) const { curl_url_cleanup(url); }
};

void EnsureCurlInitialised() {
    static const CURLcode result = curl_global_init(CURL_GLOBAL_DEFAULT);
    Q_UNUSED(result);
}

bool IsParsableUrl(const QByteArray &url) {
    std::unique_ptr<CURLU, CurlUrlDeleter> parsed(curl_url());
    return parsed && curl_url_set(parsed.get(), CURLUPART_URL, url.constData(), 0) == CURLUE_OK;
}

struct BodySink {
    QByteArray bytes;
    qsizetype cap;
};

// A return value other than the size handed in makes libcurl abort the transfer.
size_t AppendToBody(char *data, size_t size, size_t count, void *userData) {
    auto *sink = static_cast<BodySink *>(userData);
    const size_t length = size * count;
    if (qsizetype(length) > sink->cap - sink->bytes.size()) {
        return 0;
    }
    sink->bytes.append(data, qsizetype(length));
    return length;
}

void ConfigureExchange(CURL *curl, const QByteArray &url, BodySink &sink,
                       const FetchLimits &limits) {
    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, limits.maxRedirects);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, long(limits.connectTimeout.count()));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, long(limits.exchangeTimeout.count()));
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(limits.maxBodyBytes));
    curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "Quorvane/" QUORVANE_VERSION);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, AppendToBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
}

// The WHATWG "UTF-8 decode": a leading byte-order mark is dropped, and every broken or cut-off
// sequence becomes one U+FFFD per maximal subpart, as browsers show the same page. QtCore's
// decoder gives one U+FFFD per byte instead.
QString DecodeUtf8AsBrowsersDo(const QByteArray &bytes) {
    QString text;
    text.reserve(bytes.size());
    qsizetype i = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    const auto byteAt = [&bytes](qsizetype at) { return static_cast<unsigned char>(bytes[at]); };
    while (i < bytes.size()) {
        const unsigned char lead = byteAt(i++);
        if (lead < 0x80) {
            text.append(QLatin1Char(char(lead)));
            continue;
        }
        const int length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        if (lead < 0xC2 || lead > 0xF4) {
            text.append(QChar::ReplacementCharacter);
            continue;
        }
        char32_t codePoint = lead & (0xFF >> (length + 1));
        // The second byte's range excludes overlong forms, surrogates and code points past
        // U+10FFFF; every later one is 80..BF.
        unsigned char lower = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
        unsigned char upper = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
        int needed = length - 1;
        // A byte out of range ends the subpart and is read again as a lead.
        for (; needed > 0 && i < bytes.size() && byteAt(i) >= lower && byteAt(i) <= upper;
             --needed, ++i) {
            codePoint = (codePoint << 6) | (byteAt(i) & 0x3F);
            lower = 0x80;
            upper = 0xBF;
        }
        if (needed == 0) {
            text.append(QChar::fromUcs4(codePoint));
        } else {
            text.append(QChar::ReplacementCharacter);
        }
    }
    return text;
}

}  // namespace

QString EncodeQuery(const QString &text) {
    static constexpr char16_t kHexDigits[] = u"0123456789ABCDEF";
    // Unlike QString::toUtf8(), the encoder turns an unpaired surrogate into U+FFFD.
    QStringEncoder toUtf8(QStringEncoder::Utf8, QStringConverter::Flag::Stateless);
    const QByteArray bytes = toUtf8(text);
    QString encoded(bytes.size() * 3, Qt::Uninitialized);
    QChar *out = encoded.data();
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        *out++ = u'%';
        *out++ = kHexDigits[value >> 4];
        *out++ = kHexDigits[value & 0x0F];
    }
    return encoded;
}

QString DecodeBytes(const QByteArray &bytes, const QString &charset) {
    if (charset.compare(u"UTF-8", Qt::CaseInsensitive) == 0) {
        return DecodeUtf8AsBrowsersDo(bytes);
    }
    QStringDecoder decoder(charset.toLatin1().constData(), QStringConverter::Flag::Stateless);
    if (!decoder.isValid()) {
        throw RuntimeError(ErrorNumber::InvalidArgument, QStringLiteral("DecodeBytes"),
                           QStringLiteral("不支持的字符集: ") + charset);
    }
    return decoder.decode(bytes);
}

QString FetchPage(const QString &url) {
    const QByteArray address = url.toUtf8();
    if (address.size() > kLongestAddress) {
        return {};
    }
    EnsureCurlInitialised();
    CurlEasy curl(curl_easy_init());
    if (!curl || !IsParsableUrl(address)) {
        throw RuntimeError(ErrorNumber::InvalidUrl, QStringLiteral("FetchPage"),
                           QStringLiteral("无法打开请求地址: ") + url);
    }

    const FetchLimits limits = gFetchLimits;
    BodySink sink{{}, limits.maxBodyBytes};
    ConfigureExchange(curl.get(), address, sink, limits);
    if (curl_easy_perform(curl.get()) != CURLE_OK) {
        return {};
    }
    return DecodeBytes(sink.bytes, QStringLiteral("UTF-8"));
}

FetchLimits CurrentFetchLimits() {
    return gFetchLimits;
}

void SetFetchLimits(const FetchLimits &limits) {
    gFetchLimits = limits;
}

}  // namespace quorvane
