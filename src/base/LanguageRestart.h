// Whether the launcher was started as a language restart (its command-line
// tail begins with "__mrv_lang_restart"): no working-directory change, no
// single-instance step, and the Java side is told there is no extraction
// position.
#pragma once

namespace qarvo {

bool languageRestart();
// Set once by the start-up sequence.
void setLanguageRestart(bool value);

}  // namespace qarvo
