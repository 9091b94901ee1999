#include "ctl.h"

#include <QCoreApplication>

#include <cstdio>

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
#ifdef Q_OS_WIN
    // A dump is bytes: text mode would make each line feed of UTF-16 two
    // bytes longer. Messages are UTF-8, which the console shows as such.
    _setmode(_fileno(stdout), _O_BINARY);
    SetConsoleOutputCP(CP_UTF8);
    const bool terminal = _isatty(_fileno(stdout)) != 0;
#else
    const bool terminal = isatty(fileno(stdout)) != 0;
#endif
    // Windows gives the arguments as UTF-16; elsewhere they are bytes, which
    // Qt takes as UTF-8 whatever they are.
    QList<qsizetype> notUtf8;
#ifndef Q_OS_WIN
    for (int i = 1; i < argc; ++i) {
        if (!QByteArrayView(argv[i]).isValidUtf8())
            notUtf8.append(i);
    }
#endif
    return runCtl(QCoreApplication::arguments(), stdout, stderr, terminal, notUtf8);
}
