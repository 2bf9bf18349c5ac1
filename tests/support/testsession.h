#pragma once

// Runs a test again, with the same arguments, in a session of its own where it needs one:
// with `display`, an X server with a window manager (XSession) and an empty home; and,
// when VELT_TEST_ASSISTIVE is set, a session bus of its own whose accessibility bus
// reports a screen reader, as a desktop's does while one runs. Call it first in main(),
// before any application object exists. Returns that run's exit code, or -1 in the run
// that is to test.
int runInOwnSession(int argc, char *argv[], bool display);

// Whether this run plays a desktop with a screen reader (VELT_TEST_ASSISTIVE). Once the
// application exists, it uses Qt's accessibility as a screen reader would.
bool assistiveRun();
void useAsScreenReader();

// How long a test waits for the engine, the X server or the window manager: ten times the
// longest such wait seen with both cores of a two-core machine kept busy.
constexpr int kEngineWaitMs = 20000;
