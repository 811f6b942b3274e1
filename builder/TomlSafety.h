// A check of app.toml's text before toml++ parses it.
#pragma once

#include <string>

#include "builder/BuildPlan.h"

namespace qarvo::builder {

// True when `text` holds what toml++ must not see (a control character, a
// character beyond ASCII outside strings and comments, a string that is not
// closed); `at` and `what` then say where and what.
bool unsafeForToml(const std::string& text, Position& at, std::string& what);

}  // namespace qarvo::builder
