// An empty console program of Qt Core: the floor for `ordevanctl get`.
//   hyperfine -N 'build/ordevanctl --settings-file F get MainWindowLeft' build/bench/bench_empty_core

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    return 0;
}
