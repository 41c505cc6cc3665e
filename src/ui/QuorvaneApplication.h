#pragma once

#include <QApplication>

namespace quorvane {

// The application object: its names, version and icon.
class QuorvaneApplication : public QApplication {
    Q_OBJECT

public:
    QuorvaneApplication(int &argc, char **argv);
};

}  // namespace quorvane
