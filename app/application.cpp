#include "application.h"

#include "dialogs.h"
#include "fonts.h"

using namespace Qt::Literals::StringLiterals;

OrdevanApplication::OrdevanApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
    setApplicationName(u"Ordevan"_s);
    setOrganizationName(u"Ordevan"_s);
    setApplicationVersion(u"8.0.4.0"_s);
    installFontSubstitutions();
}

bool OrdevanApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        reportException(std::current_exception());
        return false;
    }
}

void OrdevanApplication::reportException(std::exception_ptr error)
{
    QString message = u"An unexpected error occurred."_s;
    try {
        std::rethrow_exception(error);
    } catch (const std::exception &e) {
        message = QString::fromUtf8(e.what());
    } catch (...) { }

    // An error raised while the message box of another one is open is only
    // printed: a stack of boxes would help nobody.
    if (!m_dialogs || m_reporting) {
        qWarning("%s", qUtf8Printable(message));
        return;
    }
    m_reporting = true;
    try {
        m_dialogs->showMessage(applicationName(), message, MessageIcon::Error);
    } catch (...) {
        qWarning("%s", qUtf8Printable(message));
    }
    m_reporting = false;
}
