#pragma once
// How the window reports a run-time error that reached the event boundary:
// a box with its number and message, the same on standard error, then the
// program ends with the error's number as its exit status.

#include <ostream>

#include "runtime/errors.h"
#include "runtime/message_boxes.h"

namespace zorukan::app {

// Returns the exit status; the caller ends the program with it.
int report_fatal(const runtime::RuntimeError& error, runtime::MessageBoxUi& boxes, std::ostream& err);

}  // namespace zorukan::app
