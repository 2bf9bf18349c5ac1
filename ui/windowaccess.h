#pragma once

#include <QList>
#include <QString>

class QLabel;
class QWidget;

// How assistive technology reads a small window of the design. The design draws
// with labels and lines: read as they are, the window would be a nameless filler, a
// dial a dozen nameless parts, a readout a number without its caption. Each call
// marks a widget before it is first read; safe to call for any number of windows.
namespace WindowAccess {

// Read as a window named by its title, with its parts in the order they were made,
// less those left out below.
void readAsWindow(QWidget *window);
// Read with its caption before its text ("Local Time 06:23:37"); the caption itself
// is left out.
void readWithCaption(QLabel *readout, QLabel *caption);
// Read as one picture with this name; the parts drawn on it are left out.
void readAsGraphic(QWidget *graphic, const QString &name, const QList<QWidget *> &parts);
// Not read at all: a line that only draws.
void leaveOut(QWidget *part);

} // namespace WindowAccess
