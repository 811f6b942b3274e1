// A header of a low layer that includes a higher one: the layer check must
// reject this tree.
#pragma once

#include "launcher/LaunchSequence.h"
