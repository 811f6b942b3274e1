#include "launcher/CommandLine.h"

#include "base/CommandLine.h"
#include "report/ErrorReport.h"

namespace qarvo {

void splitCommandLine(std::u16string_view text, ArgumentList& list) {
    if (!splitWords(text, list)) failWithMessageId(message::wrongParameterUsage, nullptr);
}

}  // namespace qarvo
