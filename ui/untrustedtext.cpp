#include "untrustedtext.h"

bool isControlCharacter(QChar c)
{
    const QChar::Category category = c.category();
    return category == QChar::Other_Control || category == QChar::Other_Format
            || category == QChar::Separator_Line || category == QChar::Separator_Paragraph;
}

QString shortText(const QString &text, qsizetype max)
{
    QString shown = text;
    for (QChar &c : shown) {
        if (isControlCharacter(c))
            c = u' ';
    }
    shown = shown.simplified();
    if (shown.size() <= max)
        return shown;
    qsizetype cut = max - 1;
    if (shown.at(cut - 1).isHighSurrogate())
        --cut;
    return shown.left(cut) + QChar(0x2026);
}
