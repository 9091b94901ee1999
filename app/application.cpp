#include "application.h"

#include "dialogs.h"
#include "fonts.h"

using namespace Qt::Literals::StringLiterals;

OrdevanApplication::OrdevanApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
    setApplicationName(u"Ordevan"_s);
    setOrganizationName(u"Ordevan"_s);
    setApplicationVersion(QStringLiteral(ORDEVAN_VERSION));
    setDesktopFileName(QStringLiteral(ORDEVAN_APP_ID)); // its desktop entry, for its icon
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

    if (!m_dialogs) {
        qWarning("%s", qUtf8Printable(message));
        return;
    }
    // An error raised while the box of another one is open waits for that
    // box to close: one box after another, never a stack of them. The same
    // message twice is shown once.
    if (m_reporting) {
        if (m_pending.size() < MaxPendingErrors && !m_pending.contains(message))
            m_pending.append(message);
        else
            qWarning("%s", qUtf8Printable(message));
        return;
    }
    m_reporting = true;
    for (QString shown = message;;) {
        try {
            m_dialogs->showMessage(applicationName(), shown, MessageIcon::Error);
        } catch (...) {
            // The box itself failed: printing is all that is left.
            qWarning("%s", qUtf8Printable(shown));
        }
        if (m_pending.isEmpty())
            break;
        shown = m_pending.takeFirst();
    }
    m_reporting = false;
}
