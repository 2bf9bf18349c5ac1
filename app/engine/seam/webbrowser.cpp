#include "webbrowser.h"

// Out of line, so that the class's virtual table and type information are made
// in the seam library only.
WebBrowser::~WebBrowser() = default;
