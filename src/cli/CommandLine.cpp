#include "cli/CommandLine.h"

#include <QCommandLineParser>
#include <algorithm>

#include "common/BuildInfo.h"
#include "common/RuntimeError.h"
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
            QStringLiteral("The translation service: NAME, or NAME=ROOT to send to ROOT "
                           "(http:// or https://, a host and an optional port) instead."),
            QStringLiteral("NAME[=ROOT]")};
}

QCommandLineOption SelectionOption() {
    return {QStringLiteral("selection"),
            QStringLiteral("Translate the selected text in the running window, or in a new one "
                           "when none runs.")};
}

// The service that the option, else the environment, else the build chooses, and its key from
// the environment: read here once, and handed to the core.
ServiceChoiceOrError ResolveService(const QCommandLineParser &parser,
                                    const QCommandLineOption &option) {
    ServiceChoiceOrError chosen =
        ChooseService(parser.isSet(option) ? std::optional(parser.value(option)) : std::nullopt,
                      qEnvironmentVariable("QUORVANE_SERVICE"));
    if (chosen.choice && *chosen.choice->service->keyVariable != '\0') {
        chosen.choice->key = qEnvironmentVariable(chosen.choice->service->keyVariable);
    }
    return chosen;
}

QString Description() {
    QString description = QStringLiteral(
        "Translates between Japanese and Simplified Chinese through an outside translation "
        "service.\nWithout a direction, Quorvane opens its window.\n\nThe services (--service, "
        "else the environment's QUORVANE_SERVICE, else " QUORVANE_DEFAULT_SERVICE "):");
    for (const Service *service : Services()) {
        description += QStringLiteral("\n  %1: %2").arg(service->name, service->summary);
    }
    return description + QStringLiteral(
                             "\nA LibreTranslate server's API key, if it wants one, comes from "
                             "the environment's\nQUORVANE_LIBRETRANSLATE_KEY.");
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

// The message and the reason of a press without a translation, and the run's status.
int ReportFailure(const TranslateResult &result, const ServiceChoice &service, QIODevice &errors) {
    switch (result.outcome) {
        case TranslateOutcome::NoData:
            WriteLine(errors, FailureMessage(service.FirstRoot()));
            break;
        case TranslateOutcome::Refused:
            WriteLine(errors, RefusalMessage({}, MessageReader::Terminal));
            break;
        case TranslateOutcome::NoTranslation:
        case TranslateOutcome::Translated:
            WriteLine(errors, NoTranslationMessage());
            break;
    }
    if (!result.reason.isEmpty()) {
        WriteLine(errors, result.reason);
    }
    return result.outcome == TranslateOutcome::NoData    ? ExitStatus::Unavailable
           : result.outcome == TranslateOutcome::Refused ? ExitStatus::Refused
                                                         : ExitStatus::NoTranslation;
}

}  // namespace

int RunCommandLine(const QStringList &arguments, QIODevice &input, QIODevice &output,
                   QIODevice &errors, const FetchContext &context) {
    QCommandLineParser parser;
    parser.setApplicationDescription(Description());
    const Directions directions;
    const QCommandLineOption serviceOption = ServiceOption();
    const QCommandLineOption selection = SelectionOption();
    parser.addOptions(
        {directions.ja2ch, directions.ch2ja, directions.automatic, serviceOption, selection});
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
    const int chosen = int(parser.isSet(directions.ja2ch)) + int(parser.isSet(directions.ch2ja)) +
                       int(parser.isSet(directions.automatic));
    if (chosen != 1) {
        return usageError(chosen == 0
                              ? QStringLiteral("Choose a direction: --ja2ch, --ch2ja or --auto.")
                              : QStringLiteral("Choose one direction only."));
    }
    const ServiceChoiceOrError service = ResolveService(parser, serviceOption);
    if (!service.choice) {
        return usageError(service.error);
    }
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
        const TranslateResult result = TranslateText(text, direction, *service.choice, context);
        if (result.outcome != TranslateOutcome::Translated) {
            return ReportFailure(result, *service.choice, errors);
        }
        WriteLine(output, *result.translation);
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
    return WindowRun{ResolveService(parser, serviceOption), parser.isSet(selection)};
}

bool MayHoldQtOptions(const QStringList &arguments) {
    return std::any_of(arguments.cbegin() + 1, arguments.cend(), [](const QString &argument) {
        return argument.size() > 2 && argument[0] == u'-' && argument[1].isLetter();
    });
}

}  // namespace quorvane
