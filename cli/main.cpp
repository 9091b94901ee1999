#include "ctl.h"

#include <QCoreApplication>

#include <cstdio>

#ifdef Q_OS_WIN
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    return runCtl(QCoreApplication::arguments(), stdout, stderr, isatty(fileno(stdout)) != 0);
}
