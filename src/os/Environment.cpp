#include "os/Environment.h"

namespace qarvo {

namespace {
// Until something is installed the environment is empty: a core function that
// runs before the launcher set things up sees no variables rather than crashing.
class EmptyEnvironment final : public Environment {
public:
    bool get(const char*, std::string&) override { return false; }
    bool set(const char*, const char*) override { return false; }
    std::vector<std::string> block() override { return {}; }
};
EmptyEnvironment emptyEnvironment;
Environment* installed = &emptyEnvironment;
}  // namespace

Environment& environment() { return *installed; }
void installEnvironment(Environment& env) { installed = &env; }

}  // namespace qarvo
