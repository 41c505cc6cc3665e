#include "cli/CommandLine.h"

#include <QCommandLineParser>
#include <algorithm>

#include "common/BuildInfo.h"
#include "common/RuntimeError.h"
#include "keys/SecretKeys.h"
#include "translation/Messages.h"
#include "translation/TranslateRequest.h"

namespace quorvane {

namespace {

struct Directions {
    QCommandLineOption ja2ch{QStringLiteral("ja2ch"),
                             QStringLiteral("Translate Japanese to Chinese.")};
    QCommandLineOption ch2ja{QStringLiteral("ch2ja"),
                             QStringLiteral("Translate Chinese to Japanese.")};
    QCommandLineOption automatic{QStringLiteral("auto"),
                                 QStringLiteral("Translate Japanese to Chinese if the text has any "
                                                "kana, else Chinese to Japanese.")};
};

QCommandLineOption ServiceOption() {
    return {QStringLiteral("service"),
            QStringLiteral("The translation services, in order, joined by ',': each NAME, or "
                           "NAME=ROOT to send to ROOT (http:// or https://, a host and an optional "
                           "port) instead. A keyed service takes https:// only, but on this "
                           "machine."),
            QStringLiteral("NAME[=ROOT],...")};
}

QCommandLineOption SelectionOption() {
    return {QStringLiteral("selection"),
            QStringLiteral("Translate the selected text in the running window, or in a new one "
                           "when none runs.")};
}

struct KeyOptions {
    QCommandLineOption store{QStringLiteral("store-key"),
                             QStringLiteral("Read the key of the service NAME from standard input "
                                            "and keep it in the desktop's Secret Service."),
                             QStringLiteral("NAME")};
    QCommandLineOption forget{QStringLiteral("forget-key"),
                              QStringLiteral("Remove the key of the service NAME from the "
                                             "desktop's Secret Service."),
                              QStringLiteral("NAME")};
};

// The Secret Service of one chain's keys: asked whether it runs once, at its first key; the
// first failure kept.
struct KeyStore {
    std::optional<bool> runs;
    QString error;

    QString KeyOf(const Service &service) {
        if (!runs) {
            runs = SecretServiceRuns();
        }
        if (!*runs) {
            return {};
        }
        StoredKey stored = ReadStoredKey(service.name.toString());
        if (error.isEmpty()) {
            error = stored.error;
        }
        return stored.key.value_or(QString());
    }
};

// The key of a service, from the first place that has one: its environment variable, the one
// that LibreTranslate's key had before, or the Secret Service.
QString KeyOf(const Service &service, KeyStore &store) {
    QString key = qEnvironmentVariable(KeyVariable(service).toLatin1().constData());
    if (key.isEmpty() && service.name == u"libretranslate") {
        key = qEnvironmentVariable("QUORVANE_LIBRETRANSLATE_KEY");
    }
    return key.isEmpty() ? store.KeyOf(service) : key;
}

// The services that the option, else the environment, else the build chooses.
ServiceChainOrError ChosenServices(const QCommandLineParser &parser,
                                   const QCommandLineOption &option) {
    return ChooseService(parser.isSet(option) ? std::optional(parser.value(option)) : std::nullopt,
                         qEnvironmentVariable("QUORVANE_SERVICE"));
}

QString Description() {
    QString description = QStringLiteral(
        "Translates between Japanese and Simplified Chinese through an outside translation "
        "service.\nWithout a direction, Quorvane opens its window.\n\nThe services (--service, "
        "else the environment's QUORVANE_SERVICE, else " QUORVANE_DEFAULT_SERVICE "):");
    for (const Service *service : Services()) {
        description += QStringLiteral("\n  %1: %2").arg(service->name, service->summary);
        if (!service->key.shape.isEmpty()) {
            description +=
                QStringLiteral("\n    key: %1, from %2 or --store-key %3%4")
                    .arg(service->key.shape, KeyVariable(*service), service->name,
                         service->key.required ? QString() : QStringLiteral(", if it wants one"));
        }
    }
    return description;
}

void WriteLine(QIODevice &device, const QString &text) {
    device.write((text + u'\n').toUtf8());
}

// Standard input to its end, less one final line end.
QString ReadText(QIODevice &input) {
    QByteArray bytes = input.readAll();
    if (bytes.endsWith("\r\n")) {
        bytes.chop(2);
    } else if (bytes.endsWith('\n')) {
        bytes.chop(1);
    }
    return QString::fromUtf8(bytes);
}

// The message and the reasons of a press without a translation, and the run's status.
int ReportFailure(const TranslateResult &result, const KeyedChain &keyed, QIODevice &errors) {
    const ServiceChain &chain = *keyed.chain.chain;
    switch (result.outcome) {
        case TranslateOutcome::NoKey:
            WriteLine(errors, NoKeyMessage(chain));
            if (!keyed.keyStoreError.isEmpty()) {
                WriteLine(errors, keyed.keyStoreError);
            }
            return ExitStatus::NoKey;
        case TranslateOutcome::NoData:
            WriteLine(errors, FailureMessage(chain.front().FirstRoot()));
            break;
        case TranslateOutcome::Refused:
            WriteLine(errors, RefusalMessage({}, MessageReader::Terminal));
            break;
        case TranslateOutcome::KeyRefused:
            WriteLine(errors, KeyRefusedMessage(result.service, result.serviceError,
                                                MessageReader::Terminal));
            break;
        case TranslateOutcome::NoTranslation:
        case TranslateOutcome::Translated:
            WriteLine(errors, NoTranslationMessage());
            break;
    }
    if (chain.size() > 1) {
        WriteLine(errors, result.accounts.join(u'\n'));
    } else if (!result.reason.isEmpty()) {
        WriteLine(errors, result.reason);
    }
    switch (result.outcome) {
        case TranslateOutcome::NoData:
            return ExitStatus::Unavailable;
        case TranslateOutcome::Refused:
            return ExitStatus::Refused;
        case TranslateOutcome::KeyRefused:
            return ExitStatus::KeyRefused;
        default:
            return ExitStatus::NoTranslation;
    }
}

// What the Secret Service did: `done` on standard output, or its error.
int ReportKeyStore(const QString &error, const QString &done, QIODevice &output,
                   QIODevice &errors) {
    WriteLine(error.isEmpty() ? output : errors, error.isEmpty() ? done : error);
    return error.isEmpty() ? ExitStatus::Translated : ExitStatus::Unavailable;
}

// --store-key and --forget-key: the key never passes through an argument.
int ManageKey(const QCommandLineParser &parser, const KeyOptions &options, QIODevice &input,
              QIODevice &output, QIODevice &errors) {
    const bool storing = parser.isSet(options.store);
    const QString name = parser.value(storing ? options.store : options.forget);
    const Service *service = ServiceNamed(name);
    if (!service || service->key.shape.isEmpty()) {
        WriteLine(errors, QStringLiteral("No service '%1' takes a key.").arg(name));
        return ExitStatus::Usage;
    }
    const QString key = storing ? ReadText(input).trimmed() : QString();
    if (const QString problem = storing ? KeyProblem(*service, key) : QString();
        !problem.isEmpty()) {
        WriteLine(errors, problem);
        return ExitStatus::Usage;
    }
    if (!SecretServiceRuns()) {
        WriteLine(errors, NoSecretServiceMessage());
        return ExitStatus::Unavailable;
    }
    if (!storing) {
        return ReportKeyStore(ForgetKey(name),
                              QStringLiteral("No key of %1 is kept any longer.").arg(name), output,
                              errors);
    }
    return ReportKeyStore(
        StoreKey(name, key),
        QStringLiteral("The key of %1 is kept in the desktop's Secret Service.").arg(name), output,
        errors);
}

}  // namespace

KeyedChain WithKeys(ServiceChain chain) {
    KeyStore store;
    for (ServiceChoice &choice : chain) {
        if (!choice.service->defaultModel.isEmpty()) {
            choice.model = qEnvironmentVariable("QUORVANE_LLM_MODEL");
        }
        if (choice.service->key.shape.isEmpty()) {
            continue;
        }
        choice.key = KeyOf(*choice.service, store);
        if (!choice.key.isEmpty()) {
            if (const QString problem = KeyProblem(*choice.service, choice.key);
                !problem.isEmpty()) {
                return {{std::nullopt, problem}, ExitStatus::NoKey};
            }
        }
        if (const QString problem = KeyTransportProblem(choice); !problem.isEmpty()) {
            return {{std::nullopt, problem}, ExitStatus::Usage};
        }
    }
    return {{std::move(chain), {}}, ExitStatus::Translated, store.error};
}

int RunCommandLine(const QStringList &arguments, QIODevice &input, QIODevice &output,
                   QIODevice &errors, const FetchContext &context) {
    QCommandLineParser parser;
    parser.setApplicationDescription(Description());
    const Directions directions;
    const QCommandLineOption serviceOption = ServiceOption();
    const QCommandLineOption selection = SelectionOption();
    const KeyOptions keyOptions;
    parser.addOptions({directions.ja2ch, directions.ch2ja, directions.automatic, serviceOption,
                       selection, keyOptions.store, keyOptions.forget});
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(
        QStringLiteral("text"),
        QStringLiteral("The text, its words joined by spaces; without it, standard input."),
        QStringLiteral("[TEXT...]"));

    const auto usageError = [&errors](const QString &message) {
        WriteLine(errors, message);
        return ExitStatus::Usage;
    };
    if (!parser.parse(arguments)) {
        return usageError(parser.errorText());
    }
    if (parser.isSet(help)) {
        output.write(parser.helpText().toUtf8());
        return ExitStatus::Translated;
    }
    if (parser.isSet(version)) {
        WriteLine(output, QStringLiteral("Quorvane " QUORVANE_VERSION));
        return ExitStatus::Translated;
    }
    if (parser.isSet(selection)) {
        return usageError(QStringLiteral("--selection takes no direction and no text."));
    }
    if (parser.isSet(keyOptions.store) || parser.isSet(keyOptions.forget)) {
        if (parser.isSet(keyOptions.store) && parser.isSet(keyOptions.forget)) {
            return usageError(QStringLiteral("Store a key or forget it, not both."));
        }
        return ManageKey(parser, keyOptions, input, output, errors);
    }
    const int chosen = int(parser.isSet(directions.ja2ch)) + int(parser.isSet(directions.ch2ja)) +
                       int(parser.isSet(directions.automatic));
    if (chosen != 1) {
        return usageError(chosen == 0
                              ? QStringLiteral("Choose a direction: --ja2ch, --ch2ja or --auto.")
                              : QStringLiteral("Choose one direction only."));
    }
    const ServiceChainOrError services = ChosenServices(parser, serviceOption);
    if (!services.chain) {
        return usageError(services.error);
    }
    const KeyedChain keyed = WithKeys(*services.chain);
    if (!keyed.chain.chain) {
        WriteLine(errors, keyed.chain.error);
        return keyed.failureStatus;
    }
    const ServiceChain &chain = *keyed.chain.chain;
    const QStringList words = parser.positionalArguments();
    const QString text = words.isEmpty() ? ReadText(input) : words.join(u' ');
    if (text.isEmpty()) {
        return usageError(EmptyInputMessage());
    }
    const TranslateDirection direction = parser.isSet(directions.ja2ch) ? TranslateDirection::Ja2Ch
                                         : parser.isSet(directions.ch2ja)
                                             ? TranslateDirection::Ch2Ja
                                             : DirectionOfText(text);
    try {
        // The translation goes out as it arrives; a failure after a beginning ends its line.
        bool written = false;
        const TranslateResult result =
            TranslateText(text, direction, chain, context, nullptr, [&](const QString &arrived) {
                output.write(arrived.toUtf8());
                written = true;
            });
        if (result.outcome != TranslateOutcome::Translated) {
            if (written) {
                output.write("\n");
            }
            return ReportFailure(result, keyed, errors);
        }
        output.write("\n");
        if (chain.size() > 1) {
            WriteLine(errors, result.accounts.join(u'\n'));
        }
        return ExitStatus::Translated;
    } catch (const RuntimeError &error) {
        WriteLine(
            errors,
            QStringLiteral("运行时错误 '%1': %2").arg(error.number()).arg(error.description()));
        return ExitStatus::RuntimeFailure;
    }
}

std::optional<WindowRun> WindowRunOf(const QStringList &arguments) {
    QCommandLineParser parser;
    const QCommandLineOption serviceOption = ServiceOption();
    const QCommandLineOption selection = SelectionOption();
    parser.addOptions({serviceOption, selection});
    if (!parser.parse(arguments) || !parser.positionalArguments().isEmpty()) {
        return std::nullopt;
    }
    return WindowRun{ChosenServices(parser, serviceOption), parser.isSet(selection)};
}

bool MayHoldQtOptions(const QStringList &arguments) {
    return std::any_of(arguments.cbegin() + 1, arguments.cend(), [](const QString &argument) {
        return argument.size() > 2 && argument[0] == u'-' && argument[1].isLetter();
    });
}

}  // namespace quorvane
