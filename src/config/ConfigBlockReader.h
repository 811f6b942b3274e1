// Reads the configuration block from the launcher's own executable into the
// process-wide configuration: the block codec reads, this stores each entry as
// it comes and logs the codec's trace.
#pragma once

#include <type_traits>

#include "image/ByteSource.h"
#include "image/ConfigBlock.h"

namespace qarvo {

// How the reader asks for the user's locale name: a function, or any callable
// that lives while the reader runs. (std::function would add a kilobyte and a
// half to the launcher for this one call.)
class UserLocaleQuery {
public:
    UserLocaleQuery(const char* (*function)()) : function_(function) {}
    template <typename Callable,
              typename = std::enable_if_t<!std::is_same_v<std::decay_t<Callable>, const char* (*)()> &&
                                          !std::is_same_v<std::decay_t<Callable>, UserLocaleQuery>>>
    UserLocaleQuery(Callable&& callable)
        : object_(&callable), call_(&invoke<std::remove_reference_t<Callable>>) {}
    const char* operator()() const { return call_ ? call_(object_) : function_ ? function_() : nullptr; }

private:
    template <typename Callable>
    static const char* invoke(const void* object) {
        return (*static_cast<const Callable*>(object))();
    }
    const char* (*function_)() = nullptr;
    const void* object_ = nullptr;
    const char* (*call_)(const void*) = nullptr;
};

// Reads the block of `file` into the process-wide configuration (Configuration.h):
// the string entries, the wide entries, then the wide entries of every locale
// section whose name is a prefix of the user's locale name, in block order;
// on success blockEndOffset. `userLocale` is called once, only when there are
// sections; it returns null when the user's locale has no name (no section
// matches then). Entries read before a failure are stored too. Logs the
// header values found and the error line of a primitive that ran short.
ConfigReadFailure readConfigurationFrom(ByteSource& file, UserLocaleQuery userLocale);

}  // namespace qarvo
