#pragma once

#include <functional>

// Qt WebEngine on Linux hands a page's headings, links and form fields to assistive
// technology only when QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY is set as it starts,
// and keeping that tree costs every page work; so it is set only when an assistive
// technology is active.

// Whether the desktop's accessibility bus reports an assistive technology
// (org.a11y.Status: IsEnabled or ScreenReaderEnabled). Without a session bus the
// answer is no: none is started to ask, nor the accessibility bus itself.
bool desktopAssistiveTechActive();

// Sets the variable when assistiveTechActive() says so, unless the user has set it
// already; asks only on the first call in the process, since the engine reads the
// variable once, as it first starts. True when the engine shows pages to assistive
// technology.
bool preparePageAccessibility(const std::function<bool()> &assistiveTechActive);
