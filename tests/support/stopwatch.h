#pragma once

// How long a piece of work takes, for tests that hold work to a time bound
// (a quadratic pass is seconds where a linear one is milliseconds).

#include <QElapsedTimer>

#include <functional>

inline double secondsTaken(const std::function<void()> &work)
{
    QElapsedTimer clock;
    clock.start();
    work();
    return clock.nsecsElapsed() / 1e9;
}
