#pragma once

#include <QCoreApplication>
#include <QLoggingCategory>

#include <cstdio>
#include <cstdlib>

namespace FuzzSupport {

// One application object for the whole run, so image format plugins are
// found as they are in the program; Qt's warnings about malformed input
// would otherwise drown the fuzzer's own output.
inline void initialise(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false\n*.warning=false"));
}

// A broken invariant is a finding like a crash: abort so libFuzzer keeps the input.
[[noreturn]] inline void fail(const char *what)
{
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

inline void check(bool condition, const char *what)
{
    if (!condition)
        fail(what);
}

} // namespace FuzzSupport
