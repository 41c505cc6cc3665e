#pragma once

#include "translation/Service.h"

namespace quorvane {

// A LibreTranslate server that the user runs or trusts.
extern const Service kLibreTranslateService;

}  // namespace quorvane
