#pragma once

// What a fuzz check does when one of its invariants breaks: it says which,
// and aborts, so that a fuzzer keeps the input that broke it.

#include <cstdio>
#include <cstdlib>

struct Invariants
{
    const char *subject; // "registry file", "markup", ...

    void operator()(bool condition, const char *what) const
    {
        if (!condition) {
            std::fprintf(stderr, "%s invariant broken: %s\n", subject, what);
            std::abort();
        }
    }
};
