#include "app/error_report.h"

namespace zorukan::app {

int report_fatal(const runtime::RuntimeError& error, runtime::MessageBoxUi& boxes, std::ostream& err) {
    err << "zorukan: run-time error " << error.code() << ": " << error.what() << '\n';
    boxes.show(runtime::fatal_error_text(error), runtime::kErrorTitle);
    return error.code();
}

}  // namespace zorukan::app
