#include "printers.h"
#include "qtdialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// Runs `look` on the modal dialog once it is up, then closes it.
template<typename Dialog, typename Look>
void whenShown(Look look)
{
    QTimer::singleShot(0, [look] {
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        look(*dialog);
        dialog->reject();
    });
}

} // namespace

TEST(QtDialogsTest, MessageBoxesTurnBareCarriageReturnsIntoLineBreaks)
{
    QString shown;
    QString caption;
    whenShown<QMessageBox>([&](QMessageBox &box) {
        shown = box.text();
        caption = box.windowTitle();
        EXPECT_EQ(box.icon(), QMessageBox::Information);
    });
    QtDialogs().showMessage(u"Information"_s, u"WARNING!!\r\rlast\r"_s, MessageIcon::Information);
    EXPECT_EQ(shown, u"WARNING!!\n\nlast\n"_s);
    EXPECT_EQ(caption, u"Information"_s);
}

TEST(QtDialogsTest, CancelledDialogsAnswerNothing)
{
    whenShown<QDialog>([](QDialog &) {});
    EXPECT_EQ(QtDialogs().promptText(u"Ordevan"_s, u"Value"_s, u"old"_s), std::nullopt);

    QStringList filters;
    whenShown<QFileDialog>([&](QFileDialog &dialog) {
        filters = dialog.nameFilters();
        EXPECT_EQ(dialog.windowTitle(), u"Pick"_s);
        EXPECT_EQ(dialog.selectedNameFilter(), filters.value(0));
    });
    const OpenFileRequest request{
        u"Pick"_s,
        QString(),
        {{u"InstantCopy 8 (ICopy.exe)"_s, u"ICopy.exe"_s}, {u"exe files"_s, u"*.exe"_s}},
        0};
    EXPECT_EQ(QtDialogs().chooseOpenFile(request), QString());
    EXPECT_EQ(filters, (QStringList{u"InstantCopy 8 (ICopy.exe)"_s, u"exe files (*.exe)"_s}));
}

// The buttons keep the order they were given in; Esc chooses the escape
// choice, a click the button clicked.
TEST(QtDialogsTest, QuestionsAnswerWithTheButtonChosen)
{
    const ChoiceRequest request{
        u"Ordevan"_s, u"Save <b>them</b>?\rNow"_s, {u"Save"_s, u"Discard"_s, u"Cancel"_s}, 0, 2};
    QStringList order;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text(), u"Save <b>them</b>?\nNow"_s);
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        EXPECT_EQ(box->defaultButton()->text(), u"Save"_s);
        for (QAbstractButton *button : box->buttons())
            order.append(button->text());
        box->buttons().at(1)->click();
    });
    EXPECT_EQ(QtDialogs().askChoice(request), 1);
    EXPECT_EQ(order, request.choices);

    whenShown<QMessageBox>([](QMessageBox &) {}); // closed as Esc closes it
    EXPECT_EQ(QtDialogs().askChoice(request), 2);
}

// Paths, value names and error texts are shown as they are, never as markup.
TEST(QtDialogsTest, MessagesAndPromptsShowTagsAsPlainText)
{
    const QString tagged = u"C:\\<b>x</b>\\<img src=\"y.png\">&amp;"_s;
    QString shown;
    Qt::TextFormat format = Qt::AutoText;
    Qt::TextFormat labelFormat = Qt::AutoText;
    whenShown<QMessageBox>([&](QMessageBox &box) {
        format = box.textFormat();
        auto *label = box.findChild<QLabel *>(u"qt_msgbox_label"_s);
        ASSERT_NE(label, nullptr);
        labelFormat = label->textFormat();
        shown = label->text();
        // Tags are laid out as characters: none vanish into formatting.
        EXPECT_GE(label->sizeHint().width(), label->fontMetrics().horizontalAdvance(tagged));
    });
    QtDialogs().showMessage(u"Error"_s, tagged, MessageIcon::Error);
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_EQ(labelFormat, Qt::PlainText);
    EXPECT_EQ(shown, tagged);

    QList<QLabel *> labels;
    QString edited;
    whenShown<QInputDialog>([&](QInputDialog &dialog) {
        for (QLabel *label : dialog.findChildren<QLabel *>()) {
            if (label->isVisible())
                labels.append(label);
        }
        ASSERT_EQ(labels.size(), 1);
        EXPECT_EQ(labels[0]->textFormat(), Qt::PlainText);
        // A label with a buddy shows "&&" as one '&'.
        const QString text = labels[0]->text();
        EXPECT_EQ(labels[0]->buddy() ? QString(text).replace(u"&&"_s, u"&"_s) : text, tagged);
        EXPECT_GE(labels[0]->sizeHint().width(),
                  labels[0]->fontMetrics().horizontalAdvance(tagged));
        edited = dialog.textValue();
        EXPECT_EQ(dialog.windowTitle(), u"Prompt <i>t</i>"_s);
    });
    EXPECT_EQ(QtDialogs().promptText(u"Prompt <i>t</i>"_s, tagged, u"<u>old</u>"_s), std::nullopt);
    EXPECT_EQ(edited, u"<u>old</u>"_s);
}
