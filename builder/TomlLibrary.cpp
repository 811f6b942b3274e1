// The one compilation of toml++'s implementation.
//
// toml++ 3.3's parser asserts on some malformed input it then rejects
// properly ("[?" asserts that a key starts where none does): its asserts are
// turned off here, and NDEBUG with them, under which they become compiler
// assumptions (undefined behaviour when they do not hold).
#undef NDEBUG
#define TOML_ASSERT(expr) static_assert(true)
#define TOML_IMPLEMENTATION
#include "builder/Toml.h"
