#pragma once
// The one kind of failure the game knows: a run-time error with a number and
// a message. Game procedures never catch it; whoever dispatches an event does.

#include <stdexcept>
#include <string>

namespace zorukan::runtime {

enum class ErrorNumber : int {
    InvalidOperation = 5,
    Overflow = 6,
    DivisionByZero = 11,
};

class RuntimeError : public std::runtime_error {
public:
    RuntimeError(ErrorNumber number, const std::string& message)
        : std::runtime_error(message), number_(number) {}

    ErrorNumber number() const { return number_; }
    int code() const { return static_cast<int>(number_); }

private:
    ErrorNumber number_;
};

// What every front end shows when a run-time error ends the game: the box's
// title, and its text with the error's number, what went wrong and where.
inline constexpr const char* kErrorTitle = "ゾルカン";
std::string fatal_error_text(const RuntimeError& error);

[[noreturn]] void raise_overflow(const std::string& what);
[[noreturn]] void raise_floating_point(ErrorNumber number, const std::string& what);

}  // namespace zorukan::runtime
