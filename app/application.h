#pragma once

// The application object. It is also the one place where an exception that an
// event handler let through is caught: the handler ends there, its message is
// shown in a modal box, and the tool runs on.

#include <QApplication>

#include <exception>

class Dialogs;

class OrdevanApplication : public QApplication
{
public:
    OrdevanApplication(int &argc, char **argv);

    // Where error messages go; without dialogs they are only printed.
    void setDialogs(Dialogs *dialogs) { m_dialogs = dialogs; }

    bool notify(QObject *receiver, QEvent *event) override;

    // Shows the message of `error` (the current exception when null).
    void reportException(std::exception_ptr error);

private:
    Dialogs *m_dialogs = nullptr;
    bool m_reporting = false;
};
