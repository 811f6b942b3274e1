#include "base/LanguageRestart.h"

namespace qarvo {

namespace {
bool restart = false;
}  // namespace

bool languageRestart() { return restart; }
void setLanguageRestart(bool value) { restart = value; }

}  // namespace qarvo
