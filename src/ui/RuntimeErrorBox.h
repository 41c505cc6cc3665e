#pragma once

#include <functional>

namespace quorvane {

// Runs the work of an event handler or slot. A runtime error that it raises goes no further: it
// is shown in the standard error box with its number and description, and the program then ends
// with a failure status.
void RunReportingErrors(const std::function<void()> &work);

}  // namespace quorvane
