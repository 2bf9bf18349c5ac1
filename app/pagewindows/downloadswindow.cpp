#include "downloadswindow.h"

#include "pageplacement.h"
#include "plainwindow.h"
#include "untrustedtext.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QLocale>
#include <QPushButton>
#include <QShortcut>
#include <QTreeWidget>

namespace {

enum Column { Name, Received, State };

QString receivedText(qint64 received, qint64 total)
{
    const QLocale locale;
    const auto size = [&locale](qint64 bytes) {
        return locale.formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
    };
    return total < 0 ? size(received) : QStringLiteral("%1 of %2").arg(size(received), size(total));
}

} // namespace

DownloadsWindow::DownloadsWindow(QWidget *parent)
    : QWidget(parent, kPlainWindow)
{
    setObjectName(QStringLiteral("downloadsWindow"));
    setWindowTitle(QStringLiteral("Downloads"));
    setAttribute(Qt::WA_DeleteOnClose);
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);

    m_list = new QTreeWidget(this);
    m_list->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Received"),
                             QStringLiteral("State")});
    m_list->setRootIsDecorated(false);
    m_list->setTextElideMode(Qt::ElideMiddle);
    m_list->header()->setStretchLastSection(true);
    m_list->setColumnWidth(Name, 170);
    m_list->setColumnWidth(Received, 140);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_openFolder = new QPushButton(QStringLiteral("Open folder"), this);
    m_cancel->setObjectName(QStringLiteral("cancelDownload"));
    m_openFolder->setObjectName(QStringLiteral("openFolder"));

    auto *grid = new QGridLayout(this);
    grid->addWidget(m_list, 0, 0, 1, 3);
    grid->addWidget(m_openFolder, 1, 1);
    grid->addWidget(m_cancel, 1, 2);
    grid->setColumnStretch(0, 1);
    setFixedSize(600, 220);
    if (parent)
        placeOverPage(this, parent);
    connect(new QShortcut(Qt::Key_Escape, this), &QShortcut::activated, this, &QWidget::close);

    connect(m_list, &QTreeWidget::itemSelectionChanged, this, &DownloadsWindow::selectionChanged);
    connect(m_cancel, &QPushButton::clicked, this,
            [this] { emit cancelRequested(m_list->indexOfTopLevelItem(m_list->currentItem())); });
    connect(m_openFolder, &QPushButton::clicked, this,
            [this] { emit openFolderRequested(m_list->indexOfTopLevelItem(m_list->currentItem())); });
    selectionChanged();
}

void DownloadsWindow::setRow(int row, const DownloadRow &data)
{
    QTreeWidgetItem *item = m_list->topLevelItem(row);
    if (!item) {
        item = new QTreeWidgetItem(m_list);
        m_list->setCurrentItem(item);
    }
    // File names come from servers: one line, plain, shortened.
    item->setText(Name, shortText(QFileInfo(data.path).fileName(), 80));
    item->setToolTip(Name, shortText(data.path, 200));
    item->setText(Received, receivedText(data.received, data.total));
    item->setText(State, data.state);
    item->setToolTip(State, data.state);
    item->setData(Name, Qt::UserRole, data.running);
    selectionChanged();
}

int DownloadsWindow::rowCount() const
{
    return m_list->topLevelItemCount();
}

QString DownloadsWindow::text(int row, int column) const
{
    const QTreeWidgetItem *item = m_list->topLevelItem(row);
    return item ? item->text(column) : QString();
}

void DownloadsWindow::select(int row)
{
    m_list->setCurrentItem(m_list->topLevelItem(row));
}

void DownloadsWindow::selectionChanged()
{
    const QTreeWidgetItem *item = m_list->currentItem();
    m_cancel->setEnabled(item && item->data(Name, Qt::UserRole).toBool());
    m_openFolder->setEnabled(item != nullptr);
}
