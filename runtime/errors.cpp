#include "runtime/errors.h"

namespace zorukan::runtime {

void raise_overflow(const std::string& what) {
    throw RuntimeError(ErrorNumber::Overflow, "overflow: " + what);
}

void raise_floating_point(ErrorNumber number, const std::string& what) {
    throw RuntimeError(number, "floating-point error: " + what);
}

}  // namespace zorukan::runtime
