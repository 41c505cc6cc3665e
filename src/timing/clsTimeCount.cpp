#include "timing/clsTimeCount.h"

#include <chrono>

namespace quorvane {

namespace {

qint32 SystemTick() {
    // steady_clock counts from system start on the platforms we run on.
    const auto sinceStart = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
    return static_cast<qint32>(static_cast<quint32>(sinceStart.count()));
}

}  // namespace

clsTimeCount::clsTimeCount(std::function<qint32()> tickSource)
    : mTickSource(tickSource ? std::move(tickSource) : SystemTick) {}

void clsTimeCount::Mark() {
    mStartTick = mTickSource();
}

qint32 clsTimeCount::TimeCount() const {
    return static_cast<qint32>(static_cast<quint32>(mTickSource()) -
                               static_cast<quint32>(mStartTick));
}

}  // namespace quorvane
