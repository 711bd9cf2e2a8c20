#include "runtime/errors.h"

namespace zorukan::runtime {

namespace {

const char* what_went_wrong(ErrorNumber number) {
    switch (number) {
    case ErrorNumber::InvalidOperation: return "計算が不正です。";
    case ErrorNumber::Overflow: return "オーバーフローしました。";
    case ErrorNumber::DivisionByZero: return "0 で除算しました。";
    }
    return "不明なエラーです。";
}

}  // namespace

std::string fatal_error_text(const RuntimeError& error) {
    return "実行時エラー " + std::to_string(error.code()) + ": " + what_went_wrong(error.number()) + "\n(" +
           error.what() + ")";
}

void raise_overflow(const std::string& what) {
    throw RuntimeError(ErrorNumber::Overflow, "overflow: " + what);
}

void raise_floating_point(ErrorNumber number, const std::string& what) {
    throw RuntimeError(number, "floating-point error: " + what);
}

}  // namespace zorukan::runtime
