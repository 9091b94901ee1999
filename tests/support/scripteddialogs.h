#pragma once

// A Dialogs double: records every dialog shown and answers prompts and file
// dialogs from answers queued beforehand. A dialog without a queued answer
// fails the test instead of blocking it.

#include "dialogs.h"

#include <QQueue>

class ScriptedDialogs : public Dialogs
{
public:
    struct Message
    {
        QString caption;
        QString text;
        MessageIcon icon;
        bool windowShown; // whether a top-level window was visible at the time
    };
    struct Prompt
    {
        QString caption;
        QString label;
        QString text;
    };

    void showMessage(const QString &caption, const QString &text, MessageIcon icon) override;
    std::optional<QString> promptText(const QString &caption, const QString &label,
                                      const QString &text) override;
    int askChoice(const ChoiceRequest &request) override;
    QString chooseOpenFile(const OpenFileRequest &request) override;

    void answerPrompt(std::optional<QString> answer) { m_promptAnswers.enqueue(std::move(answer)); }
    // The index of the button to choose.
    void answerChoice(int choice) { m_choiceAnswers.enqueue(choice); }
    void answerOpenFile(QString path) { m_fileAnswers.enqueue(std::move(path)); }

    QList<Message> messages;
    QList<Prompt> prompts;
    QList<ChoiceRequest> questions;
    QList<OpenFileRequest> fileRequests;

private:
    QQueue<std::optional<QString>> m_promptAnswers;
    QQueue<int> m_choiceAnswers;
    QQueue<QString> m_fileAnswers;
};
