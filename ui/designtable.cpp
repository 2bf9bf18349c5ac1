#include "designtable.h"

#include <QLabel>
#include <QPalette>

QLabel *makeDesignLabel(const QString &text, const LabelLook &look, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(look.wordWrap);
    label->setFocusPolicy(Qt::NoFocus);
    QPalette palette = label->palette();
    if (look.text) {
        palette.setColor(QPalette::WindowText, QColor::fromRgb(*look.text));
        // Over a button-face window the text would otherwise take the button-text
        // role and ignore this colour.
        label->setForegroundRole(QPalette::WindowText);
    }
    if (look.fill)
        palette.setColor(QPalette::Window, QColor::fromRgb(*look.fill));
    label->setPalette(palette);
    label->setAutoFillBackground(look.opaque);
    return label;
}
