#pragma once

#include <QIODevice>
#include <QStringList>
#include <optional>

#include "translation/Services.h"
#include "translation/modPub.h"

namespace quorvane {

// The statuses of a command-line run, as BSD's sysexits names them.
namespace ExitStatus {
constexpr int Translated = 0;
constexpr int Usage = 64;
constexpr int NoTranslation = 65;
constexpr int Unavailable = 69;
constexpr int RuntimeFailure = 70;
constexpr int Refused = 75;
constexpr int KeyRefused = 77;
constexpr int NoKey = 78;  // also a key that cannot be one
}  // namespace ExitStatus

// One translation from a terminal: `arguments` as the program got them (its name first), the
// text from them or else from `input`, the translation on `output`, messages on `errors`.
// Returns the exit status. Needs only a QCoreApplication.
int RunCommandLine(const QStringList &arguments, QIODevice &input, QIODevice &output,
                   QIODevice &errors, const FetchContext &context = {});

struct WindowRun {
    ServiceChainOrError service;
    bool translateSelection = false;
};

// A window run, when `arguments` ask for the window: nothing but the program's name, the service
// option and --selection. None when they ask for a run from a terminal.
std::optional<WindowRun> WindowRunOf(const QStringList &arguments);
// The chain with the key of each service that takes one, from its environment variable
// (QUORVANE_KEY_NAME), else from the desktop's Secret Service, and the model of a service of
// models from QUORVANE_LLM_MODEL. A key that cannot be one (78), or that would go out over plain
// HTTP (64), is no chain.
struct KeyedChain {
    ServiceChainOrError chain;
    int failureStatus;
    QString keyStoreError{};  // why the Secret Service gave no key, if it failed
};
KeyedChain WithKeys(ServiceChain chain);

// Whether `arguments` may hold options of Qt's own (-platform, -style, ...), which only the
// window's application takes out: a word after a single dash.
bool MayHoldQtOptions(const QStringList &arguments);

}  // namespace quorvane
