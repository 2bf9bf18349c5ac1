#pragma once

#include <QRgb>
#include <QString>
#include <QWidget>

#include <optional>
#include <ranges>

class QLabel;

// Builds a window's controls from its layout table. The rows run front to back,
// so the controls are made back to front and each is raised over the ones made
// before it; each is named after its row, so that the window and its tests find
// it by name. `make` turns a row into a child widget of the window.
template <typename Rows, typename Make>
void buildFromTable(const Rows &rows, Make make)
{
    for (const auto &row : rows | std::views::reverse) {
        QWidget *control = make(row);
        control->setObjectName(QString::fromLatin1(row.name));
        control->raise();
    }
}

// How a label of a design looks: plain text from the top left, in its own text
// colour where it has one, opaque (in its fill colour, or the window's when it
// has none) or transparent.
struct LabelLook
{
    std::optional<QRgb> text;
    bool opaque = false;
    std::optional<QRgb> fill;
    bool wordWrap = false;
};

QLabel *makeDesignLabel(const QString &text, const LabelLook &look, QWidget *parent);
