#include "translation/modPub.h"

#include <curl/curl.h>
#include <QFile>
#include <QStringDecoder>
#include <memory>

#include "common/BuildInfo.h"
#include "common/RuntimeError.h"

namespace quorvane {

namespace {

// libcurl takes no longer string (CURL_MAX_INPUT_LENGTH). A longer address, from a very long
// text, is an exchange that cannot be made, not a malformed address.
constexpr qsizetype kLongestAddress = 8'000'000;

struct CurlEasyDeleter {
    void operator()(CURL *handle) const { curl_easy_cleanup(handle); }
};
using CurlEasy = std::unique_ptr<CURL, CurlEasyDeleter>;

struct CurlMultiDeleter {
    void operator()(CURLM *multi) const { curl_multi_cleanup(multi); }
};

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
    const std::function<void(const QByteArray &)> &onBody;
};

// A return value other than the size handed in makes libcurl abort the transfer.
size_t AppendToBody(char *data, size_t size, size_t count, void *userData) {
    auto *sink = static_cast<BodySink *>(userData);
    const size_t length = size * count;
    if (qsizetype(length) > sink->cap - sink->bytes.size()) {
        return 0;
    }
    sink->bytes.append(data, qsizetype(length));
    if (sink->onBody) {
        sink->onBody(sink->bytes);
    }
    return length;
}

struct CurlListDeleter {
    void operator()(curl_slist *list) const { curl_slist_free_all(list); }
};
using CurlList = std::unique_ptr<curl_slist, CurlListDeleter>;

// The request's own header lines, and the body's type when it has one; libcurl reads them
// while the exchange lasts.
CurlList HeaderLines(const HttpRequest &request) {
    CurlList lines;
    const auto append = [&lines](const QByteArray &line) {
        curl_slist *longer = curl_slist_append(lines.get(), line.constData());
        if (longer) {
            (void)lines.release();
            lines.reset(longer);
        }
    };
    if (!request.body.isEmpty()) {
        append("Content-Type: " + request.contentType);
    }
    for (const QByteArray &line : request.headers) {
        append(line);
    }
    return lines;
}

void ConfigureRequest(CURL *curl, const HttpRequest &request, const QByteArray &url,
                      curl_slist *headers) {
    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    if (request.body.isEmpty()) {
        curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    } else {
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(request.body.size()));
        curl_easy_setopt(curl, CURLOPT_COPYPOSTFIELDS, request.body.constData());
    }
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(
        curl, CURLOPT_USERAGENT,
        request.userAgent.isEmpty() ? "Quorvane/" QUORVANE_VERSION : request.userAgent.constData());
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, long(request.followRedirects));
}

void ConfigureExchange(CURL *curl, BodySink &sink, const FetchContext &context, char *errorText) {
    const FetchLimits &limits = context.limits;
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    // An abandoned exchange leaves a name lookup in progress to its thread instead of waiting
    // for it.
    curl_easy_setopt(curl, CURLOPT_QUICK_EXIT, 1L);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, limits.maxRedirects);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, long(limits.connectTimeout.count()));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, long(limits.exchangeTimeout.count()));
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(limits.maxBodyBytes));
    curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, AppendToBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
    if (!context.certificateAuthorities.isEmpty()) {
        curl_easy_setopt(curl, CURLOPT_CAINFO,
                         QFile::encodeName(context.certificateAuthorities).constData());
    }
}

QString FailureText(CURLcode result, const char *errorText) {
    return QString::fromUtf8(errorText[0] != '\0' ? errorText : curl_easy_strerror(result));
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
        if (lead < 0xC2 || lead > 0xF4) {
            text.append(QChar::ReplacementCharacter);
            continue;
        }
        const int length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
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

// Makes a cancellation wake the exchange's multi handle while the exchange lasts.
class ExchangeInProgress {
public:
    ExchangeInProgress(FetchCancellation *cancellation, CURLM *multi)
        : mCancellation(cancellation) {
        Set(multi);
    }
    ~ExchangeInProgress() { Set(nullptr); }
    ExchangeInProgress(const ExchangeInProgress &) = delete;
    ExchangeInProgress &operator=(const ExchangeInProgress &) = delete;

private:
    void Set(CURLM *multi) {
        if (mCancellation) {
            const std::lock_guard lock(mCancellation->mMutex);
            mCancellation->mMulti = multi;
        }
    }

    FetchCancellation *mCancellation;
};

namespace {

// Runs the exchange on a multi handle of its own, so that a cancellation from another thread
// wakes its wait at once. libcurl decides every wait's length by its own time-outs.
CURLcode Perform(CURL *curl, FetchCancellation *cancellation) {
    std::unique_ptr<CURLM, CurlMultiDeleter> multi(curl_multi_init());
    if (!multi || curl_multi_add_handle(multi.get(), curl) != CURLM_OK) {
        return CURLE_OUT_OF_MEMORY;
    }
    const ExchangeInProgress inProgress(cancellation, multi.get());
    int running = 1;
    CURLMcode status = CURLM_OK;
    bool cancelled = false;
    while (status == CURLM_OK) {
        status = curl_multi_perform(multi.get(), &running);
        cancelled = cancellation && cancellation->IsCancelled();
        if (running == 0 || cancelled || status != CURLM_OK) {
            break;
        }
        status = curl_multi_poll(multi.get(), nullptr, 0, 1000, nullptr);
    }
    CURLcode result = cancelled ? CURLE_ABORTED_BY_CALLBACK : CURLE_RECV_ERROR;
    int queued = 0;
    while (const CURLMsg *message = curl_multi_info_read(multi.get(), &queued)) {
        if (message->msg == CURLMSG_DONE && !cancelled) {
            result = message->data.result;
        }
    }
    curl_multi_remove_handle(multi.get(), curl);
    return result;
}

}  // namespace

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

struct ConnectionCache::Share {
    Share() : handle(curl_share_init()) {
        curl_share_setopt(handle, CURLSHOPT_LOCKFUNC, Lock);
        curl_share_setopt(handle, CURLSHOPT_UNLOCKFUNC, Unlock);
        curl_share_setopt(handle, CURLSHOPT_USERDATA, this);
        for (const curl_lock_data data :
             {CURL_LOCK_DATA_CONNECT, CURL_LOCK_DATA_DNS, CURL_LOCK_DATA_SSL_SESSION}) {
            curl_share_setopt(handle, CURLSHOPT_SHARE, data);
        }
    }
    ~Share() { curl_share_cleanup(handle); }

    static void Lock(CURL *, curl_lock_data data, curl_lock_access, void *share) {
        static_cast<Share *>(share)->locks[data].lock();
    }
    static void Unlock(CURL *, curl_lock_data data, void *share) {
        static_cast<Share *>(share)->locks[data].unlock();
    }

    CURLSH *handle;
    std::mutex locks[CURL_LOCK_DATA_LAST];
};

ConnectionCache::ConnectionCache() : mShare((EnsureCurlInitialised(), std::make_unique<Share>())) {}

ConnectionCache::~ConnectionCache() = default;

void FetchCancellation::Cancel() {
    mCancelled = true;
    const std::lock_guard lock(mMutex);
    if (mMulti) {
        curl_multi_wakeup(mMulti);
    }
}

HttpAnswer Fetch(const HttpRequest &request, const FetchContext &context) {
    const QByteArray address = request.url.toUtf8();
    if (address.size() > kLongestAddress) {
        return {.failure = QStringLiteral("the request address is too long to send")};
    }
    EnsureCurlInitialised();
    CurlEasy curl(curl_easy_init());
    if (!curl || !IsParsableUrl(address)) {
        throw RuntimeError(ErrorNumber::InvalidUrl, QStringLiteral("FetchPage"),
                           QStringLiteral("无法打开请求地址: ") + request.url);
    }

    BodySink sink{{}, context.limits.maxBodyBytes, context.onBody};
    char errorText[CURL_ERROR_SIZE] = {};
    const CurlList headers = HeaderLines(request);
    ConfigureRequest(curl.get(), request, address, headers.get());
    ConfigureExchange(curl.get(), sink, context, errorText);
    if (context.connections) {
        curl_easy_setopt(curl.get(), CURLOPT_SHARE, context.connections->mShare->handle);
    }
    if (const CURLcode result = Perform(curl.get(), context.cancellation); result != CURLE_OK) {
        return {.failure = FailureText(result, errorText)};
    }
    HttpAnswer answer{.received = true, .body = std::move(sink.bytes)};
    answer.text = DecodeBytes(answer.body, QStringLiteral("UTF-8"));
    curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &answer.status);
    const char *location = nullptr;
    if (!request.followRedirects &&
        curl_easy_getinfo(curl.get(), CURLINFO_REDIRECT_URL, &location) == CURLE_OK && location) {
        answer.redirect = QString::fromUtf8(location);
    }
    return answer;
}

QString FetchPage(const QString &url, const FetchContext &context) {
    return Fetch({.url = url}, context).text;
}

}  // namespace quorvane
