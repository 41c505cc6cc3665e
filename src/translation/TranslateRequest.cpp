#include "translation/TranslateRequest.h"

#include <algorithm>

#include "translation/TextPieces.h"

namespace quorvane {

namespace {

using namespace Qt::StringLiterals;

// The longest query value of one piece: what the longest request address leaves of the bound.
qsizetype PieceBudget(const ServiceChoice &service, TranslateDirection direction) {
    const qsizetype bound = service.service->maxAddressBytes;
    if (bound == 0) {
        return 0;
    }
    qsizetype longestEmpty = 0;
    for (const Endpoint &endpoint : service.service->endpoints) {
        const QString url = service.RequestOf(endpoint, {QString()}, direction).url;
        longestEmpty = std::max(longestEmpty, url.toUtf8().size());
    }
    return std::max<qsizetype>(bound - longestEmpty, 1);
}

qsizetype CostOf(const QString &text, qsizetype (*cost)(char32_t)) {
    qsizetype total = 0;
    for (const char32_t c : text.toUcs4()) {
        total += cost(c);
    }
    return total;
}

TextPieces PiecesFor(const QString &text, const ServiceChoice &service,
                     TranslateDirection direction) {
    const BatchRule &batch = service.service->batch;
    if (batch.cost) {
        return SplitText(text, {batch.maxSize - batch.costPerText, batch.cost, batch.linePerText});
    }
    return SplitText(text, PieceBudget(service, direction), service.service->encoding);
}

// Where the pieces that share a request with the piece `first` end.
qsizetype BatchEnd(const TextPieces &pieces, qsizetype first, const BatchRule &rule) {
    qsizetype end = first + 1;
    const auto costOf = [&rule](const TextPiece &piece) {
        return rule.cost ? CostOf(piece.text, rule.cost) + rule.costPerText : 0;
    };
    qsizetype size = costOf(pieces.pieces[first]);
    while (end < pieces.pieces.size() && end - first < rule.maxTexts) {
        const qsizetype next = costOf(pieces.pieces[end]);
        if (rule.maxSize > 0 && size + next > rule.maxSize) {
            break;
        }
        size += next;
        ++end;
    }
    return end;
}

QString StatusReason(const HttpAnswer &answer) {
    const QString status = u"HTTP %1"_s.arg(answer.status);
    if (!answer.redirect.isEmpty()) {
        return status + u" -> "_s + answer.redirect;
    }
    return answer.body.isEmpty() ? status + u", empty answer"_s : status;
}

TranslateOutcome FailureOutcome(Refusal refusal, const HttpAnswer &answer) {
    switch (refusal) {
        case Refusal::ForNow:
            return TranslateOutcome::Refused;
        case Refusal::Key:
            return TranslateOutcome::KeyRefused;
        case Refusal::None:
            break;
    }
    return answer.body.isEmpty() ? TranslateOutcome::NoData : TranslateOutcome::NoTranslation;
}

// What one request gave: its outcome, and on success one translation per text.
struct Answered {
    TranslateResult result;
    QStringList translations{};
    qsizetype streamed = 0;  // of the first translation, what the sink got while it arrived
};

Answered ReadAnswer(const Endpoint &endpoint, const HttpAnswer &answer, qsizetype texts) {
    Answered read;
    if (!answer.received) {
        read.result.reason = answer.failure;
        return read;
    }
    read.result.page = answer.text;
    std::optional<QStringList> translations = endpoint.translations(answer);
    if (translations && translations->size() == texts) {
        read.result.outcome = TranslateOutcome::Translated;
        read.translations = *std::move(translations);
        return read;
    }
    TranslateResult &result = read.result;
    result.serviceError = endpoint.errorText(answer);
    result.reason = !result.serviceError.isEmpty() ? result.serviceError
                    : translations
                        ? u"%1 translations of %2 texts"_s.arg(translations->size()).arg(texts)
                        : StatusReason(answer);
    result.outcome = FailureOutcome(endpoint.refusal(answer), answer);
    return read;
}

bool PassesOver(TranslateOutcome outcome) {
    return outcome == TranslateOutcome::Refused || outcome == TranslateOutcome::KeyRefused ||
           outcome == TranslateOutcome::NoKey;
}

const TranslateResult &Worse(const TranslateResult &one, const TranslateResult &other) {
    return other.outcome >= one.outcome ? other : one;
}

// One press through the chain: what each service said, and which services are passed over.
class ChainTranslation {
public:
    ChainTranslation(const ServiceChain &chain, TranslateDirection direction,
                     const FetchContext &context, EndpointRests &rests, const TextSink &sink)
        : mChain(chain),
          mDirection(direction),
          mContext(context),
          mRests(rests),
          mSink(sink),
          mPassedOver(chain.size()),
          mAnswered(chain.size(), false),
          mReasons(chain.size()) {
        for (qsizetype s = 0; s < chain.size(); ++s) {
            if (NeedsKey(*chain[s].service) && chain[s].key.isEmpty()) {
                mPassedOver[s] = TranslateResult{.outcome = TranslateOutcome::NoKey,
                                                 .reason = u"no key"_s,
                                                 .service = chain[s].service->name.toString()};
                mReasons[s] = mPassedOver[s]->reason;
            }
        }
    }

    // `text` through the first service from `first` on that is not passed over, which hands on
    // what it does not translate.
    TranslateResult From(const QString &text, qsizetype first) {
        TranslateResult worst{.outcome = TranslateOutcome::NoKey};
        for (qsizetype s = first; s < mChain.size(); ++s) {
            if (mPassedOver[s]) {
                worst = Worse(worst, *mPassedOver[s]);
                continue;
            }
            TranslateResult through = Through(text, s);
            return through.outcome == TranslateOutcome::Translated ? through
                                                                   : Worse(worst, through);
        }
        return worst;
    }

    QStringList Accounts() const {
        QStringList accounts;
        for (qsizetype s = 0; s < mChain.size(); ++s) {
            const QString name = mChain[s].service->name.toString();
            if (mAnswered[s]) {
                accounts.append(mReasons[s].isEmpty()
                                    ? name + u": answered"_s
                                    : name + u": answered, then "_s + mReasons[s]);
            } else if (!mReasons[s].isEmpty()) {
                accounts.append(name + u": "_s + mReasons[s]);
            }
        }
        return accounts;
    }

private:
    bool Cancelled() const { return mContext.cancellation && mContext.cancellation->IsCancelled(); }

    // Whether a later service of the chain may still be asked.
    bool LaterInPlay(qsizetype s) const {
        return std::any_of(mPassedOver.cbegin() + s + 1, mPassedOver.cend(),
                           [](const std::optional<TranslateResult> &over) { return !over; });
    }

    // `text` through the service `s`: a request that it does not translate goes on to the
    // later services. A failure that passes it over ends it, and the rest of the text goes on.
    TranslateResult Through(const QString &text, qsizetype s) {
        const TextPieces pieces = PiecesFor(text, mChain[s], mDirection);
        TranslateResult whole{.outcome = TranslateOutcome::Translated,
                              .translation = pieces.leading};
        Emit(pieces.leading);
        qsizetype offset = pieces.leading.size();
        for (qsizetype first = 0; first < pieces.pieces.size();) {
            const qsizetype end = BatchEnd(pieces, first, mChain[s].service->batch);
            QStringList texts;
            qsizetype length = 0;
            for (qsizetype i = first; i < end; ++i) {
                texts.append(pieces.pieces[i].text);
                length += pieces.pieces[i].text.size() +
                          (i + 1 < end ? pieces.pieces[i].separator.size() : 0);
            }
            Answered answered = Ask(texts, s);
            if (answered.result.outcome != TranslateOutcome::Translated) {
                mReasons[s] = answered.result.reason;
                if (Cancelled()) {
                    return answered.result;
                }
                if (PassesOver(answered.result.outcome)) {
                    mPassedOver[s] = answered.result;
                    TranslateResult rest = From(text.mid(offset), s + 1);
                    return rest.outcome == TranslateOutcome::Translated
                               ? Joined(std::move(whole), rest)
                               : Worse(answered.result, rest);
                }
                const TranslateResult elsewhere = From(text.mid(offset, length), s + 1);
                if (elsewhere.outcome != TranslateOutcome::Translated) {
                    return Worse(answered.result, elsewhere);
                }
                whole = Joined(std::move(whole), elsewhere);
                *whole.translation += pieces.pieces[end - 1].separator;
                Emit(pieces.pieces[end - 1].separator);
            } else {
                mAnswered[s] = true;
                for (qsizetype i = first; i < end; ++i) {
                    const QString translation = answered.translations[i - first];
                    *whole.translation += translation + pieces.pieces[i].separator;
                    Emit(translation.mid(i == first ? answered.streamed : 0) +
                         pieces.pieces[i].separator);
                }
                whole.page = std::move(answered.result.page);
                if (whole.service.isEmpty()) {
                    whole.service = answered.result.service;
                }
            }
            offset += length + pieces.pieces[end - 1].separator.size();
            first = end;
        }
        return whole;
    }

    static TranslateResult Joined(TranslateResult whole, const TranslateResult &rest) {
        *whole.translation += *rest.translation;
        whole.page = rest.page;
        if (whole.service.isEmpty()) {
            whole.service = rest.service;
        }
        return whole;
    }

    void Emit(const QString &arrived) {
        if (mSink && !arrived.isEmpty()) {
            mSink(arrived);
        }
    }

    // One exchange, whose translation goes to the sink as it arrives where the service streams.
    Answered Exchange(const Endpoint &endpoint, const ServiceChoice &service,
                      const QStringList &texts) {
        FetchContext context = mContext;
        context.limits.exchangeTimeout =
            std::max(context.limits.exchangeTimeout, service.service->longestExchange);
        qsizetype streamed = 0;
        StreamRead stream;
        if (mSink && service.service->arrivedText) {
            context.onBody = [&](const QByteArray &bodySoFar) {
                const QString arrived = service.service->arrivedText(bodySoFar, stream);
                if (arrived.size() > streamed) {
                    Emit(arrived.mid(streamed));
                    streamed = arrived.size();
                }
            };
        }
        Answered answered = ReadAnswer(
            endpoint, Fetch(service.RequestOf(endpoint, texts, mDirection), context), texts.size());
        answered.streamed = streamed;
        if (answered.result.outcome == TranslateOutcome::NoData && service.root.isEmpty() &&
            !service.service->noDataHint.isEmpty()) {
            answered.result.reason += u" ("_s + service.service->noDataHint.toString() + u')';
        }
        if (streamed > 0 && answered.result.outcome != TranslateOutcome::Translated) {
            answered.result.reason +=
                u" (the translation was cut off after %1 characters)"_s.arg(streamed);
        }
        return answered;
    }

    // The first translation that an endpoint of the service gives; else a refusal if any refused
    // or rests; else the worst of the other answers.
    Answered Ask(const QStringList &texts, qsizetype s) {
        const ServiceChoice &service = mChain[s];
        const std::span<const Endpoint> endpoints = service.service->endpoints;
        const QList<std::optional<TranslateResult>> standing =
            mRests.Standing(service, !LaterInPlay(s));
        Answered outcome;
        for (qsizetype i = 0; i < qsizetype(endpoints.size()) && !Cancelled(); ++i) {
            Answered answered;
            if (standing[i]) {
                answered.result = *standing[i];
            } else {
                answered = Exchange(endpoints[i], service, texts);
                mRests.Record(service, endpoints[i], answered.result);
            }
            answered.result.service = service.service->name.toString();
            if (answered.result.outcome == TranslateOutcome::Translated) {
                return answered;
            }
            if (answered.result.outcome >= outcome.result.outcome) {
                outcome = std::move(answered);
            }
        }
        return outcome;
    }

    const ServiceChain &mChain;
    TranslateDirection mDirection;
    const FetchContext &mContext;
    EndpointRests &mRests;
    const TextSink &mSink;
    QList<std::optional<TranslateResult>> mPassedOver;
    QList<bool> mAnswered;
    QStringList mReasons;
};

}  // namespace

EndpointRests::EndpointRests(Clock clock) : mClock(std::move(clock)) {}

QList<std::optional<TranslateResult>> EndpointRests::Standing(const ServiceChoice &service,
                                                              bool askOneWhenAllRest) const {
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
    if (askOneWhenAllRest && restEnds.size() == standing.size()) {
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
                              const ServiceChain &chain, const FetchContext &context,
                              EndpointRests *rests, const TextSink &sink) {
    std::optional<ConnectionCache> ownConnections;
    std::optional<EndpointRests> ownRests;
    FetchContext shared = context;
    if (!shared.connections) {
        shared.connections = &ownConnections.emplace();
    }
    ChainTranslation press(chain, direction, shared, rests ? *rests : ownRests.emplace(), sink);
    TranslateResult result = press.From(text, 0);
    result.accounts = press.Accounts();
    return result;
}

TranslateResult TranslateText(const QString &text, TranslateDirection direction,
                              const ServiceChoice &service, const FetchContext &context,
                              EndpointRests *rests, const TextSink &sink) {
    return TranslateText(text, direction, ServiceChain{service}, context, rests, sink);
}

}  // namespace quorvane
