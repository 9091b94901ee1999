#pragma once

// ordevanctl: the settings of the copy program from a script. It runs the
// window's own settings logic (lists, release filter, value rules, saves
// with their backups) on the same stores, without a window.

#include <QStringList>

#include <cstdio>

// Exit codes.
enum CtlExit { CtlDone = 0, CtlStoreFailed = 1, CtlRefused = 2 };

// Runs the command line `arguments` (the program's name first). `out` and
// `err` take the output and the messages; `outIsTerminal` chooses UTF-8
// for a registry dump. `notUtf8` are the places of the arguments whose bytes
// were not UTF-8: a command with one is refused.
int runCtl(const QStringList &arguments, std::FILE *out, std::FILE *err, bool outIsTerminal,
           const QList<qsizetype> &notUtf8 = {});
