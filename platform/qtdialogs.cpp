#include "qtdialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

namespace {

QString withNewlines(QString text)
{
    text.replace(u"\r\n"_s, u"\n"_s);
    text.replace(u'\r', u'\n');
    return text;
}

QMessageBox::Icon boxIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

QtDialogs::QtDialogs(QWidget *parent)
    : m_parent(parent)
{ }

// Messages carry paths, value names and error texts from outside: anything
// in them that looks like a tag is shown as typed, never as markup.
void QtDialogs::showMessage(const QString &caption, const QString &text, MessageIcon icon)
{
    QMessageBox box(boxIcon(icon), caption, QString(), QMessageBox::Ok, m_parent);
    box.setTextFormat(Qt::PlainText);
    box.setText(withNewlines(text));
    box.exec();
}

std::optional<QString> QtDialogs::promptText(const QString &caption, const QString &label,
                                             const QString &text)
{
    QInputDialog dialog(m_parent);
    dialog.setWindowTitle(caption);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setTextEchoMode(QLineEdit::Normal);
    dialog.setLabelText(withNewlines(label));
    dialog.setTextValue(text);
    // The dialog has no setting for its label's format; its label is its only
    // one. Laid out, the dialog makes the line edit the label's buddy, and a
    // label with a buddy reads '&' as a keyboard mnemonic: doubled, it shows.
    dialog.adjustSize();
    for (QLabel *shown : dialog.findChildren<QLabel *>()) {
        shown->setTextFormat(Qt::PlainText);
        if (shown->buddy())
            shown->setText(shown->text().replace(u'&', u"&&"_s));
    }
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

int QtDialogs::askChoice(const ChoiceRequest &request)
{
    QMessageBox box(boxIcon(request.icon), request.caption, QString(), QMessageBox::NoButton,
                    m_parent);
    box.setTextFormat(Qt::PlainText);
    box.setText(withNewlines(request.text));
    QList<QPushButton *> buttons;
    for (const QString &choice : request.choices) {
        // Added as action buttons, they stay in the order given on every
        // platform; the box's own roles would reorder them.
        QPushButton *button = box.addButton(choice, QMessageBox::ActionRole);
        buttons.append(button);
    }
    if (buttons.isEmpty())
        return -1;
    const auto at = [&](int index) {
        return buttons.value(index, buttons.constFirst());
    };
    box.setDefaultButton(at(request.defaultChoice));
    box.setEscapeButton(at(request.escapeChoice));
    box.exec();
    const auto chosen = buttons.indexOf(qobject_cast<QPushButton *>(box.clickedButton()));
    return chosen >= 0 ? static_cast<int>(chosen) : request.escapeChoice;
}

QString QtDialogs::nameFilter(const FileFilter &filter)
{
    const QString tail = u" ("_s + filter.pattern + u')';
    return filter.description.endsWith(tail) ? filter.description : filter.description + tail;
}

QString QtDialogs::chooseOpenFile(const OpenFileRequest &request)
{
    QFileDialog dialog(m_parent, request.title);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    QStringList filters;
    for (const FileFilter &filter : request.filters)
        filters.append(nameFilter(filter));
    dialog.setNameFilters(filters);
    if (request.selectedFilter >= 0 && request.selectedFilter < filters.size())
        dialog.selectNameFilter(filters[request.selectedFilter]);

    const QFileInfo start(request.startPath);
    if (!request.startPath.isEmpty())
        dialog.setDirectory(start.isDir() ? start.absoluteFilePath() : start.absolutePath());
    dialog.selectFile(QString());

    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}
