// The one compilation of toml++'s implementation.
#define TOML_IMPLEMENTATION
#include "builder/Toml.h"
