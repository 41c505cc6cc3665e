#pragma once

#include <QApplication>

namespace quorvane {

// The application object. A runtime error that reaches an event handler is shown in the
// standard error box and ends the program with a non-zero status.
class QuorvaneApplication : public QApplication {
    Q_OBJECT

public:
    QuorvaneApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;

private:
    void EndAfterError(qint32 number, const QString &description);
};

}  // namespace quorvane
