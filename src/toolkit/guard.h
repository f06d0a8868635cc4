#pragma once
// Every event handler of the program runs inside one guard. A run-time error
// stops that handler where it happened; what was stored and drawn before it
// stays, and the program goes on. The window that owns the handlers decides
// how the user is told and what half-done state it puts right.
#include <functional>
#include <string>

#include "photometry/runtime_error.h"

namespace korvalen {

using FailureHandler = std::function<void(const std::string& message)>;

// The text the user is shown for a run-time error of this kind.
std::string errorText(ErrorKind kind);

// Installs the function told of every failure (one per process; the last wins).
void setFailureHandler(FailureHandler f);

// Runs a handler; a failure is reported, never rethrown. Returns false on failure.
bool runGuarded(const std::function<void()>& handler);

// How many handlers have failed since start (for the tests and the randomised user).
long failureCount();

}  // namespace korvalen
