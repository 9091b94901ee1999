#include "buttonaccessible.h"

#include "captionstrings.h"
#include "oxbutton.h"

#include <QAccessibleWidget>

using namespace Qt::Literals::StringLiterals;

namespace {

class PictureButtonAccessible : public QAccessibleWidget
{
public:
    explicit PictureButtonAccessible(ToxCustomButton *button)
        : QAccessibleWidget(button, QAccessible::Button)
    { }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && button()->accessibleName().isEmpty()) {
            // "Run||INSTANTCOPY" reads "Run INSTANTCOPY"; "&&" is a shown "&".
            QString name = TCaptionStrings::captionLines(button()->Caption()).join(u' ');
            return name.replace(u"&&"_s, u"\x01"_s).remove(u'&').replace(u'\x01', u'&');
        }
        if (t == QAccessible::Description && button()->accessibleDescription().isEmpty())
            return button()->Hint();
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.pressed = button()->isDown();
        if (button()->ButtonType() == oxbToggle) {
            s.checkable = true;
            s.checked = button()->Value();
        }
        return s;
    }

    // The picture and the caption are drawn by an inner widget: one
    // button to the reader, not a button holding an unnamed part.
    int childCount() const override { return 0; }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }

    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (button()->isEnabled())
            names.prepend(pressAction());
        return names;
    }

    void doAction(const QString &action) override
    {
        if (action == pressAction() && button()->isEnabled())
            button()->Click();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    ToxCustomButton *button() const { return static_cast<ToxCustomButton *>(widget()); }
};

} // namespace

QAccessibleInterface *pictureButtonAccessible(const QString &, QObject *object)
{
    if (auto *button = qobject_cast<ToxCustomButton *>(object))
        return new PictureButtonAccessible(button);
    return nullptr;
}
