#include "printers.h"
#include "qtdialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
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
