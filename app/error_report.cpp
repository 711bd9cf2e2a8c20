#include "app/error_report.h"

namespace zorukan::app {

namespace {

QString what_went_wrong(runtime::ErrorNumber number) {
    switch (number) {
    case runtime::ErrorNumber::InvalidOperation: return QStringLiteral("計算が不正です。");
    case runtime::ErrorNumber::Overflow: return QStringLiteral("オーバーフローしました。");
    case runtime::ErrorNumber::DivisionByZero: return QStringLiteral("0 で除算しました。");
    }
    return QStringLiteral("不明なエラーです。");
}

}  // namespace

QString error_text(const runtime::RuntimeError& error) {
    return QStringLiteral("実行時エラー %1: %2\n(%3)")
        .arg(error.code())
        .arg(what_went_wrong(error.number()), QString::fromUtf8(error.what()));
}

int report_fatal(const runtime::RuntimeError& error, runtime::MessageBoxUi& boxes, std::ostream& err) {
    err << "zorukan: run-time error " << error.code() << ": " << error.what() << '\n';
    boxes.show(error_text(error).toStdString(), "ゾルカン");
    return error.code();
}

}  // namespace zorukan::app
