#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusContext>
#include <QStringList>
#include <QVariantMap>

namespace quorvane {

class frmMain;

// The one window of a user's session on the session bus: the name com.example.quorvane, and at
// /com/example/quorvane its own interface and org.freedesktop.Application. Calls carry plain
// text only; no file or address that a call names is opened.
class WindowOnBus : public QObject, protected QDBusContext {
    Q_OBJECT

public:
    // The longest text a call may hand over, in UTF-16 code units.
    static constexpr qsizetype kLongestText = 1 << 20;

    enum class Claim { Served, NoBus, HeldByAnother };

    explicit WindowOnBus(frmMain &window);

    // Takes the name and serves the window under it.
    Claim ClaimName();
    // Asks the window that holds the name to show itself, or to translate the selection; false
    // when there is none, or it does not answer.
    static bool AskRunningWindow(bool translateSelection);

    void Translate(const QString &text);
    void TranslateSelection();
    void Show();
    void RefuseAction(const QString &name);

private:
    frmMain &mWindow;
};

// com.example.quorvane
class QuorvaneAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.example.quorvane")

public:
    explicit QuorvaneAdaptor(WindowOnBus *window);

public slots:
    // Puts the text into the input box and translates it in the direction its kana choose.
    void Translate(const QString &text);
    void TranslateSelection();
    void Show();

private:
    WindowOnBus *mWindow;
};

// org.freedesktop.Application, for launchers that start and activate applications over the bus.
class ApplicationAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")

public:
    explicit ApplicationAdaptor(WindowOnBus *window);

public slots:
    void Activate(const QVariantMap &platformData);
    // Quorvane opens no files: the window only shows itself.
    void Open(const QStringList &uris, const QVariantMap &platformData);
    // "translate-selection"; other actions are unknown.
    void ActivateAction(const QString &name, const QVariantList &parameter,
                        const QVariantMap &platformData);

private:
    WindowOnBus *mWindow;
};

}  // namespace quorvane
