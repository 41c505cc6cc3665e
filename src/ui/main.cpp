#include "ui/QuorvaneApplication.h"
#include "ui/frmMain.h"

int main(int argc, char **argv) {
    quorvane::QuorvaneApplication app(argc, argv);
    quorvane::frmMain window;
    window.show();
    return app.exec();
}
