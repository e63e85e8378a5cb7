#pragma once
// Steps that run with errors ignored: a failing step is skipped and the next
// one runs, without a message to the user, but never without a trace. What
// was passed over goes to the log as a warning naming where it happened, the
// error and, for a statement's error, its SQL text.

#include <source_location>
#include <utility>

namespace ado {

// Writes the warning for the exception being handled; call it inside a
// catch block, where it is the one trace of a failure passed over.
void logIgnoredError(const std::source_location& where = std::source_location::current());

// Runs one step with errors ignored. False when it failed.
template <class Fn>
bool ignoringErrors(Fn&& step, const std::source_location& where = std::source_location::current())
{
    try {
        std::forward<Fn>(step)();
        return true;
    } catch (...) {
        logIgnoredError(where);
        return false;
    }
}

}  // namespace ado
