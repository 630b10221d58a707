#pragma once

#include "options/request.h"

// Checks the request against every rule of the options' declarations and their groups, in the
// order of the declarations. Throws RequestError, one line, for the first that fails.
void CheckOptionRules(const Request& request);
