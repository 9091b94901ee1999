#pragma once

// Starting the copy program: exactly the file at a path, with no arguments
// and no shell or command-line parsing, not awaited; whether it started is
// known when the call returns.

#include <QString>

class ProcessStarter
{
public:
    virtual ~ProcessStarter() = default;
    virtual bool startDetached(const QString &path) = 0;
};

// The platform's own way, chosen in CMake. Elsewhere than on Windows a
// Windows program (its file begins with "MZ") is started through wine when
// wine is on the search path.
class LocalProcessStarter : public ProcessStarter
{
public:
    bool startDetached(const QString &path) override;
};
