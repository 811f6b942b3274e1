// Reads jvm-stub-script.txt: one directive a line, blank lines and lines
// starting with '#' ignored. See JvmStub.h for what each directive does.
#include "JvmStub.h"

#include "DoubleSupport.h"

#include <cerrno>
#include <cstdlib>


using namespace doubles;

namespace jvmstub {
namespace {

bool parseLong(const std::string& text, long& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  value = std::strtol(text.c_str(), &end, 10);
  return errno == 0 && *end == '\0';
}

[[noreturn]] void badLine(std::string_view line) {
  failLoudly("INVALID jvm-stub-script.txt line: " + std::string(line));
}

void applyDirective(Script& script, std::string_view line) {
  size_t space = line.find(' ');
  std::string_view word = line.substr(0, space);
  std::string argument(space == std::string_view::npos ? "" : line.substr(space + 1));
  long number = 0;
  if (word == "create-fails" && parseLong(argument, number)) {
    script.createFails = true;
    script.createResult = jint(number);
  } else if (word == "missing-class" && !argument.empty()) {
    script.missingClasses.push_back(argument);
  } else if (word == "missing-method" && !argument.empty()) {
    script.missingMethods.push_back(argument);
  } else if (word == "main-throws" && argument.empty()) {
    script.mainThrows = true;
  } else if (word == "main-exit" && parseLong(argument, number)) {
    script.mainExits = true;
    script.mainExitCode = UINT(number);
  } else if (word == "main-wait-file" && !argument.empty()) {
    script.mainWaitFile = argument;
  } else if (word == "main-serve" && !argument.empty()) {
    script.mainServeUntil = argument;
  } else if (word == "main-window" && argument == "normal") {
    script.mainWindow = Script::Window::Normal;
  } else if (word == "main-window" && argument == "minimised") {
    script.mainWindow = Script::Window::Minimised;
  } else if (word == "firstrun" && argument == "true") {
    script.firstRun = FirstRun::True;
  } else if (word == "firstrun" && argument == "false") {
    script.firstRun = FirstRun::False;
  } else if (word == "firstrun" && argument == "throws") {
    script.firstRun = FirstRun::Throws;
  } else if (word == "record-only" && !argument.empty()) {
    script.recordOnly = argument;
  } else {
    badLine(line);
  }
}

}  // namespace

Script loadScript() {
  Script script;
  std::string text;
  if (!readFileBytes(stubDirectory() + L"jvm-stub-script.txt", text)) return script;
  std::string_view rest = text;
  if (rest.substr(0, 3) == "\xEF\xBB\xBF") rest.remove_prefix(3);
  while (!rest.empty()) {
    size_t end = rest.find('\n');
    std::string_view line = trimRight(rest.substr(0, end));
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    if (line.empty() || line.front() == '#') continue;
    applyDirective(script, line);
  }
  return script;
}

}  // namespace jvmstub
