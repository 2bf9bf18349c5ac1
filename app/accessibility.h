#pragma once

// How assistive technology sees the main window: each command of the picture band
// as one named push button whose press is a click, the main window's controls in
// reading order without the band's other areas, an editable combo box named by its
// accessible name, and the status bar as a status bar. Safe to call more than once.
void installAccessibleInterfaces();
