#include "handlerguard.h"

#include <QCoreApplication>
#include <QtDebug>

void reportHandlerException(std::exception_ptr error) noexcept
{
    if (auto *reporter = dynamic_cast<ExceptionReporter *>(QCoreApplication::instance())) {
        reporter->reportException(error);
        return;
    }
    try {
        std::rethrow_exception(error);
    } catch (const std::exception &e) {
        qWarning("%s", e.what());
    } catch (...) {
        qWarning("unknown exception");
    }
}
