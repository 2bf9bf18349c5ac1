#pragma once

#include <QString>

// Text as a page or a server sent it is untrusted: it may hold line breaks or
// bidirectional overrides that make a label say something else than it seems to.

// Control and format characters (bidirectional overrides among them) and line and
// paragraph separators: what may break a line or turn text around where it is shown.
bool isControlCharacter(QChar c);

// Untrusted text made fit for one line of a label: control characters become
// spaces, and text longer than `max` characters ends in an ellipsis.
QString shortText(const QString &text, qsizetype max = 60);
