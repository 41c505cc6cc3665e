#pragma once

#include <QString>
#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <optional>

#include "translation/Services.h"
#include "translation/modPub.h"

namespace quorvane {

// From the best to the worst: of the answers of one piece's endpoints, the worst is reported.
enum class TranslateOutcome {
    Translated,
    NoData,         // nothing came back
    NoTranslation,  // an answer without a translation
    Refused,        // the service refuses requests for now
};

struct TranslateResult {
    TranslateOutcome outcome = TranslateOutcome::NoData;
    QString page{};                        // the last answer's body; "" when none came back
    std::optional<QString> translation{};  // character references decoded
    QString reason{};                      // why there is no translation, for the terminal
    QString serviceError{};                // the service's own words on it, if any
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
    // rests, or none when it is to be asked. When every endpoint rests, the one whose rest ends
    // first is asked.
    QList<std::optional<TranslateResult>> Standing(const ServiceChoice &service) const;
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

// The text through the chosen service: in pieces as long as one request may carry, over one
// connection, in order. The first piece without a translation is the outcome of the whole. An
// endpoint that refused rests in `rests`, or for the rest of this text without them.
TranslateResult TranslateText(const QString &text, TranslateDirection direction,
                              const ServiceChoice &service, const FetchContext &context = {},
                              EndpointRests *rests = nullptr);

}  // namespace quorvane
