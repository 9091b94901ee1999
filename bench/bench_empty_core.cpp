// An empty console program of Qt Core: the floor for `ordevanctl get`.
// Timed together with it by hyperfine (see bench/CMakeLists.txt).

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    return 0;
}
