#include "translation/TranslateRequest.h"

#include <algorithm>

#include "translation/TextPieces.h"

namespace quorvane {

namespace {

// The longest query value of one piece: what the longest request address leaves of the bound.
qsizetype PieceBudget(const ServiceChoice &service, TranslateDirection direction) {
    const qsizetype bound = service.service->maxAddressBytes;
    if (bound == 0) {
        return 0;
    }
    qsizetype longestEmpty = 0;
    for (const Endpoint &endpoint : service.service->endpoints) {
        const QString url = service.RequestOf(endpoint, {}, direction).url;
        longestEmpty = std::max(longestEmpty, url.toUtf8().size());
    }
    return std::max<qsizetype>(bound - longestEmpty, 1);
}

QString StatusReason(const HttpAnswer &answer) {
    const QString status = QStringLiteral("HTTP %1").arg(answer.status);
    if (!answer.redirect.isEmpty()) {
        return status + QStringLiteral(" -> ") + answer.redirect;
    }
    return answer.body.isEmpty() ? status + QStringLiteral(", empty answer") : status;
}

TranslateResult ReadAnswer(const Endpoint &endpoint, const HttpAnswer &answer) {
    if (!answer.received) {
        return {.reason = answer.failure};
    }
    TranslateResult result{.page = answer.text};
    result.translation = endpoint.translation(answer);
    if (result.translation) {
        result.outcome = TranslateOutcome::Translated;
        return result;
    }
    result.serviceError = endpoint.errorText(answer);
    result.reason = result.serviceError.isEmpty() ? StatusReason(answer) : result.serviceError;
    result.outcome = endpoint.refuses(answer) ? TranslateOutcome::Refused
                     : answer.body.isEmpty()  ? TranslateOutcome::NoData
                                              : TranslateOutcome::NoTranslation;
    return result;
}

TranslateResult Ask(const Endpoint &endpoint, const ServiceChoice &service, const QString &piece,
                    TranslateDirection direction, const FetchContext &context) {
    return ReadAnswer(endpoint, Fetch(service.RequestOf(endpoint, piece, direction), context));
}

// The first translation that an endpoint gives; else a refusal if any refused or rests; else an
// answer without a translation if any answered; else no data.
TranslateResult TranslatePiece(const QString &piece, TranslateDirection direction,
                               const ServiceChoice &service, const FetchContext &context,
                               EndpointRests &rests) {
    TranslateResult outcome;
    const std::span<const Endpoint> endpoints = service.service->endpoints;
    const QList<std::optional<TranslateResult>> standing = rests.Standing(service);
    for (qsizetype i = 0; i < qsizetype(endpoints.size()); ++i) {
        if (context.cancellation && context.cancellation->IsCancelled()) {
            break;
        }
        TranslateResult result;
        if (standing[i]) {
            result = *standing[i];
        } else {
            result = Ask(endpoints[i], service, piece, direction, context);
            rests.Record(service, endpoints[i], result);
        }
        if (result.outcome == TranslateOutcome::Translated) {
            return result;
        }
        if (result.outcome >= outcome.outcome) {
            outcome = std::move(result);
        }
    }
    return outcome;
}

}  // namespace

EndpointRests::EndpointRests(Clock clock) : mClock(std::move(clock)) {}

QList<std::optional<TranslateResult>> EndpointRests::Standing(const ServiceChoice &service) const {
    const std::lock_guard lock(mMutex);
    const auto now = mClock();
    QList<std::optional<TranslateResult>> standing;
    QList<std::chrono::steady_clock::time_point> restEnds;
    for (const Endpoint &endpoint : service.service->endpoints) {
        const auto rest = mRests.find({&endpoint, service.RootOf(endpoint)});
        if (rest == mRests.end() || rest->second.end <= now) {
            standing.append(std::nullopt);
        } else {
            standing.append(rest->second.refusal);
            restEnds.append(rest->second.end);
        }
    }
    if (restEnds.size() == standing.size()) {
        standing[std::min_element(restEnds.cbegin(), restEnds.cend()) - restEnds.cbegin()].reset();
    }
    return standing;
}

void EndpointRests::Record(const ServiceChoice &service, const Endpoint &endpoint,
                           const TranslateResult &result) {
    const std::lock_guard lock(mMutex);
    const Key key{&endpoint, service.RootOf(endpoint)};
    if (result.outcome == TranslateOutcome::Refused) {
        mRests.insert_or_assign(key, Rest{mClock() + kRest, result});
    } else if (result.outcome != TranslateOutcome::NoData) {
        mRests.erase(key);
    }
}

TranslateResult TranslateText(const QString &text, TranslateDirection direction,
                              const ServiceChoice &service, const FetchContext &context,
                              EndpointRests *rests) {
    std::optional<ConnectionCache> ownConnections;
    std::optional<EndpointRests> ownRests;
    EndpointRests &rested = rests ? *rests : ownRests.emplace();
    FetchContext shared = context;
    if (!shared.connections) {
        shared.connections = &ownConnections.emplace();
    }
    const TextPieces pieces =
        SplitText(text, PieceBudget(service, direction), service.service->encoding);
    TranslateResult whole{.outcome = TranslateOutcome::Translated, .translation = pieces.leading};
    for (const TextPiece &piece : pieces.pieces) {
        TranslateResult part = TranslatePiece(piece.text, direction, service, shared, rested);
        if (part.outcome != TranslateOutcome::Translated) {
            return part;
        }
        *whole.translation += *part.translation + piece.separator;
        whole.page = std::move(part.page);
    }
    return whole;
}

}  // namespace quorvane
