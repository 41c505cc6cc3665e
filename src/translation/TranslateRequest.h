#pragma once

#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <optional>

#include "translation/Services.h"
#include "translation/modPub.h"

namespace quorvane {

// From the best to the worst: of the answers that one piece got, the worst is reported.
enum class TranslateOutcome {
    Translated,
    NoKey,          // the service needs a key and has none: no request went out
    NoData,         // nothing came back
    NoTranslation,  // an answer without a translation
    KeyRefused,     // the service refused the key
    Refused,        // the service refuses requests for now
};

struct TranslateResult {
    TranslateOutcome outcome = TranslateOutcome::NoData;
    QString page{};                        // the last answer's body; "" when none came back
    std::optional<QString> translation{};  // character references decoded
    QString reason{};                      // why there is no translation, for the terminal
    QString serviceError{};                // the service's own words on it, if any
    QString service{};  // the name of the service that gave the answer, or of the first that did
    // One line for each service of the chain that had a part in it: "NAME: answered", or
    // "NAME: " and why it gave no translation.
    QStringList accounts{};
};

// The endpoints that refused, each resting for a while before it is asked again. Kept in memory
// by whoever translates several times (the window's command), and used by one translation at a
// time on any thread.
class EndpointRests {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    static constexpr std::chrono::minutes kRest{10};

    explicit EndpointRests(Clock clock = std::chrono::steady_clock::now);

    // For each endpoint of `service`, in order: the refusal that stands for its answer while it
    // rests, or none when it is to be asked. When every endpoint rests and `askOneWhenAllRest`,
    // the one whose rest ends first is asked.
    QList<std::optional<TranslateResult>> Standing(const ServiceChoice &service,
                                                   bool askOneWhenAllRest = true) const;
    // A refusal starts the endpoint's rest; any other answer ends it, and no answer leaves it.
    void Record(const ServiceChoice &service, const Endpoint &endpoint,
                const TranslateResult &result);

private:
    struct Rest {
        std::chrono::steady_clock::time_point end;
        TranslateResult refusal;
    };
    using Key = std::pair<const Endpoint *, QString>;

    Clock mClock;
    mutable std::mutex mMutex;
    std::map<Key, Rest> mRests;
};

// Takes the translation as it arrives, in order: what it is given, joined, is the translation.
using TextSink = std::function<void(const QString &arrived)>;

// The text through the chain of services: in pieces and requests as large as each service takes,
// over one connection, in order. Each piece goes to the first service that translates it; a
// service that refused, refused its key or has none is passed over for the rest of the text. The
// first piece that no service translates is the outcome of the whole. An endpoint that refused
// rests in `rests`, or for the rest of this text without them. The sink, if any, is called on
// this thread; a failed text may have given it a beginning.
TranslateResult TranslateText(const QString &text, TranslateDirection direction,
                              const ServiceChain &chain, const FetchContext &context = {},
                              EndpointRests *rests = nullptr, const TextSink &sink = {});
TranslateResult TranslateText(const QString &text, TranslateDirection direction,
                              const ServiceChoice &service, const FetchContext &context = {},
                              EndpointRests *rests = nullptr, const TextSink &sink = {});

}  // namespace quorvane
