#pragma once

#include "dialogs.h"

class QWidget;

// Message boxes without a parent are centred on the screen, as the tool's
// messages are meant to be.
class QtDialogs : public Dialogs
{
public:
    explicit QtDialogs(QWidget *parent = nullptr);

    void showMessage(const QString &caption, const QString &text, MessageIcon icon) override;
    std::optional<QString> promptText(const QString &caption, const QString &label,
                                      const QString &text) override;
    int askChoice(const ChoiceRequest &request) override;
    QString chooseOpenFile(const OpenFileRequest &request) override;

    // "Description (pattern)" as the Qt file dialog reads a name filter.
    static QString nameFilter(const FileFilter &filter);

private:
    QWidget *m_parent;
};
