#pragma once

// What assistive technology (a screen reader, through Qt's accessibility)
// reads of a picture button: a push button named by its caption as shown,
// its lines joined, described by its hint, pressed, checked where it
// toggles, and pressed by the press action as by a click.

class QAccessibleInterface;
class QObject;
class QString;

// Qt's factory for the picture buttons; installed by the first one made.
QAccessibleInterface *pictureButtonAccessible(const QString &className, QObject *object);
