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

// A bound set for the optimised build, which is the one that holds the work
// to its time; the sanitizer builds run several times slower, two tests at
// a time in CI, so there it only stops work gone badly wrong.
inline double timeBound(double seconds)
{
#ifdef ORDEVAN_SANITIZED
    return seconds * 5;
#else
    return seconds;
#endif
}
