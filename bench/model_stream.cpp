// A model's stream through the window: the time from its first event on the wire to that text in
// the output box (goal: under 16 ms, one frame), and the whole translation's time against the
// stream's own (goal: at most 1.02 times). Runs headless: QT_QPA_PLATFORM=offscreen.
#include <QApplication>
#include <QTextEdit>
#include <chrono>
#include <cstdio>
#include <thread>

#include "support/LoopbackServer.h"
#include "support/ServiceStandIns.h"
#include "support/WindowDriver.h"
#include "ui/frmMain.h"

using namespace Qt::StringLiterals;
using Clock = std::chrono::steady_clock;
using window_driver::Click;
using window_driver::Control;

namespace {

constexpr int kTokens = 50;
constexpr auto kTokenInterval = std::chrono::milliseconds(20);

struct Run {
    double firstTextMs;
    double ratio;
};

Run OneRun() {
    Clock::time_point firstSent;
    Clock::time_point streamEnd;
    LoopbackServer server([&](LoopbackServer::Exchange &exchange) {
        exchange.send(stand_in::ChatStreamHead());
        for (int i = 0; i < kTokens; ++i) {
            if (i > 0) {
                std::this_thread::sleep_for(kTokenInterval);
            }
            exchange.send(stand_in::ChatEvent(u"字"_s));
            if (i == 0) {
                firstSent = Clock::now();
            }
        }
        exchange.send("data: [DONE]\n\n");
        streamEnd = Clock::now();
    });
    quorvane::frmMain window(
        quorvane::ParseServiceChain(u"llm="_s + server.root() + u"/v1"_s).chain.value());
    window.show();
    auto *output = Control<QTextEdit>(&window, u"txtDown"_s);
    Control<QTextEdit>(&window, u"txtTop"_s)->setPlainText(u"猫が好き"_s);
    Clock::time_point firstShown;
    QObject::connect(output, &QTextEdit::textChanged, [&] {
        if (firstShown == Clock::time_point() && !output->toPlainText().isEmpty()) {
            firstShown = Clock::now();
        }
    });
    const Clock::time_point pressed = Clock::now();
    Click(&window, u"imgJa2Ch"_s);
    const Clock::time_point done = Clock::now();
    const auto ms = [](Clock::duration d) {
        return std::chrono::duration<double, std::milli>(d).count();
    };
    return {ms(firstShown - firstSent), ms(done - pressed) / ms(streamEnd - firstSent)};
}

}  // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    std::printf("run  first event to the box (ms)  whole / stream\n");
    for (int run = 1; run <= 5; ++run) {
        const Run result = OneRun();
        std::printf("%3d  %27.2f  %14.3f\n", run, result.firstTextMs, result.ratio);
    }
    return 0;
}
