#pragma once

// Qt's GUI modules are built without exception support: an exception that
// unwinds through their frames skips their clean-up. So every handler that Qt
// calls runs inside guardHandler, which ends the handler at the error and
// hands it to the application object to report; nothing crosses Qt code.

#include <exception>
#include <utility>

// Implemented by the application object.
class ExceptionReporter
{
public:
    virtual ~ExceptionReporter() = default;
    virtual void reportException(std::exception_ptr error) = 0;
};

// Reports through the running application object, or prints when it is not
// an ExceptionReporter.
void reportHandlerException(std::exception_ptr error) noexcept;

template<typename Handler>
void guardHandler(Handler &&handler) noexcept
{
    try {
        std::forward<Handler>(handler)();
    } catch (...) {
        reportHandlerException(std::current_exception());
    }
}
