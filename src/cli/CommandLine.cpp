#include "cli/CommandLine.h"

#include <QCommandLineParser>

#include "common/RuntimeError.h"
#include "translation/TranslateCommand.h"

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

}  // namespace

int RunCommandLine(const QStringList &arguments, QIODevice &input, QIODevice &output,
                   QIODevice &errors, const QString &serviceRoot) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Translates between Japanese and Simplified Chinese through the web "
                       "translation page of %1.\nWithout arguments, Quorvane opens its window.")
            .arg(serviceRoot));
    const Directions directions;
    parser.addOptions({directions.ja2ch, directions.ch2ja, directions.automatic});
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
    const int chosen = int(parser.isSet(directions.ja2ch)) + int(parser.isSet(directions.ch2ja)) +
                       int(parser.isSet(directions.automatic));
    if (chosen != 1) {
        return usageError(chosen == 0
                              ? QStringLiteral("Choose a direction: --ja2ch, --ch2ja or --auto.")
                              : QStringLiteral("Choose one direction only."));
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
        const TranslateResult result = TranslateText(text, direction, serviceRoot);
        if (result.page.isEmpty()) {
            WriteLine(errors, FailureMessage(serviceRoot));
            return ExitStatus::Unavailable;
        }
        if (!result.translation) {
            WriteLine(errors, NoTranslationMessage());
            return ExitStatus::NoTranslation;
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

}  // namespace quorvane
