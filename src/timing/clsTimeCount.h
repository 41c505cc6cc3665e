#pragma once

#include <QtGlobal>
#include <functional>

namespace quorvane {

// Elapsed milliseconds on a signed 32-bit millisecond tick count.
class clsTimeCount {
public:
    // An empty source means the system tick: milliseconds since system start.
    explicit clsTimeCount(std::function<qint32()> tickSource = {});

    void Mark();
    // Milliseconds since the last Mark (since tick 0 before any). The subtraction wraps, so a
    // measurement across either wrap of the tick count is still right, up to 49.7 days.
    qint32 TimeCount() const;

private:
    std::function<qint32()> mTickSource;
    qint32 mStartTick = 0;
};

}  // namespace quorvane
