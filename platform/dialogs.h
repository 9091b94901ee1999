#pragma once

// The tool's modal dialogs: message boxes, the text prompt and the open-file
// dialog. Tests answer them from a script instead.

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

enum class MessageIcon { None, Information, Warning, Error };

struct FileFilter
{
    QString description; // "exe files (*.exe)"
    QString pattern; // "*.exe"
};

// "description|pattern|description|pattern...", the way filters are written.
QList<FileFilter> fileFiltersFromText(const QString &text);

// A question with buttons of its own: the answer is the index of the button
// chosen. Closing the box with Esc or its title bar chooses `escapeChoice`.
struct ChoiceRequest
{
    QString caption;
    QString text;
    QStringList choices; // the buttons' texts, left to right
    int defaultChoice = 0; // Enter
    int escapeChoice = 0;
    MessageIcon icon = MessageIcon::Warning;
};

struct OpenFileRequest
{
    QString title;
    QString startPath; // a folder, or a file whose folder is shown
    QList<FileFilter> filters;
    int selectedFilter = 0;
};

class Dialogs
{
public:
    virtual ~Dialogs() = default;

    // Line breaks may be a bare carriage return, as in the tool's own texts.
    virtual void showMessage(const QString &caption, const QString &text, MessageIcon icon) = 0;
    // The edited text, or nullopt when the user cancelled.
    virtual std::optional<QString> promptText(const QString &caption, const QString &label,
                                              const QString &text)
        = 0;
    virtual int askChoice(const ChoiceRequest &request) = 0;
    // The chosen file's full path; empty when the user cancelled. The file
    // need not exist.
    virtual QString chooseOpenFile(const OpenFileRequest &request) = 0;
};
