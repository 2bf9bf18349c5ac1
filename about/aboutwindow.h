#pragma once

#include <QPointer>

class Form2;
class QTimer;
class QWidget;

// The About window's opening, driven by a timer that the main window owns.
// `slot` is where the main window keeps its one About window; it reads null once
// the window was closed through its frame, and the next opening builds a new one.

inline constexpr float kAboutGrowthStep = 500.0f;  // twips per tick
inline constexpr float kAboutFullSize = 3000.0f;   // twips

// The About command: create the window if there is none, show it without owner
// and not modal, collapse it to its smallest size and start `timer`.
Form2 *openAboutWindow(QPointer<Form2> &slot, QWidget *mainWindow, QTimer *timer);

// One tick of the opening: grow the window by a step in both directions from the
// size it really has, and stop `timer` once either direction is full. With no
// window in the slot, one is created first and grown without being shown.
void growAboutWindow(QPointer<Form2> &slot, QWidget *mainWindow, QTimer *timer);
