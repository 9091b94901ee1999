#pragma once

// The application object, and the one place where errors that end an event
// handler are reported: in a modal box, after which the tool runs on. Handlers
// reach it through guardHandler; notify() is the last line of defence for
// anything that slips past a guard.

#include "handlerguard.h"

#include <QApplication>
#include <QStringList>

class Dialogs;

class OrdevanApplication : public QApplication, public ExceptionReporter
{
public:
    OrdevanApplication(int &argc, char **argv);

    // Where error messages go; without dialogs they are only printed.
    void setDialogs(Dialogs *dialogs) { m_dialogs = dialogs; }

    bool notify(QObject *receiver, QEvent *event) override;
    void reportException(std::exception_ptr error) override;

private:
    static constexpr int MaxPendingErrors = 16;

    Dialogs *m_dialogs = nullptr;
    bool m_reporting = false;
    QStringList m_pending; // errors raised while a box was open
};
