#pragma once

// Ends the application once the watched window has painted for the first
// time, so that start-up can be timed as a whole process.

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

class QuitOnFirstPaint : public QObject
{
protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        return false;
    }
};
