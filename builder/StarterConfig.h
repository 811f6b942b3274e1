// `qarvo init`: a commented starter app.toml.
#pragma once

#include <string>

namespace qarvo::builder {

// The text of the starter file: the settings most applications need, the
// others named in comments with their defaults.
std::string starterConfiguration();

}  // namespace qarvo::builder
