#include "scripteddialogs.h"

#include <QApplication>
#include <QWidget>

#include <gtest/gtest.h>

void ScriptedDialogs::showMessage(const QString &caption, const QString &text, MessageIcon icon)
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    const bool shown = std::any_of(windows.begin(), windows.end(),
                                   [](const QWidget *w) { return w->isVisible(); });
    messages.append({caption, text, icon, shown});
}

std::optional<QString> ScriptedDialogs::promptText(const QString &caption, const QString &label,
                                                   const QString &text)
{
    prompts.append({caption, label, text});
    if (m_promptAnswers.isEmpty()) {
        ADD_FAILURE() << "unexpected text prompt: " << label.toStdString();
        return std::nullopt;
    }
    return m_promptAnswers.dequeue();
}

int ScriptedDialogs::askChoice(const ChoiceRequest &request)
{
    questions.append(request);
    if (m_choiceAnswers.isEmpty()) {
        ADD_FAILURE() << "unexpected question: " << request.text.toStdString();
        return request.escapeChoice;
    }
    return m_choiceAnswers.dequeue();
}

QString ScriptedDialogs::chooseOpenFile(const OpenFileRequest &request)
{
    fileRequests.append(request);
    if (m_fileAnswers.isEmpty()) {
        ADD_FAILURE() << "unexpected open-file dialog: " << request.title.toStdString();
        return {};
    }
    return m_fileAnswers.dequeue();
}
