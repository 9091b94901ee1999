// A window of the tool's size with one label and one push button, shown and
// quit after its first paint: what any small Qt window with text costs to
// start (fonts found, text shaped). bench_startup is measured against it.

#include "quitonfirstpaint.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(792, 607);
    QLabel label(QStringLiteral("Hidden Registry Settings Editor"), &window);
    label.move(20, 20);
    QPushButton button(QStringLiteral("Save Settings"), &window);
    button.move(20, 60);
    QuitOnFirstPaint quit;
    window.installEventFilter(&quit);
    window.show();
    return app.exec();
}
