#pragma once

#include <QString>
#include <QWidget>

class QPushButton;
class QTreeWidget;

// One download as the Downloads window shows it.
struct DownloadRow
{
    QString path; // where it is saved
    qint64 received = 0;
    qint64 total = -1; // -1 while unknown
    QString state;     // "Running", "Done", "Cancelled", "Failed: ..."
    bool running = false;
};

// The small "Downloads" window: every download of the session with its name, bytes
// received of total and state; Cancel stops the chosen running one, Open folder
// shows the folder it is saved in; Escape closes it. Given the page area, it is
// owned by its window and shown over it.
class DownloadsWindow : public QWidget
{
    Q_OBJECT
public:
    explicit DownloadsWindow(QWidget *parent = nullptr);

    // Adds the row when `row` is the number of rows so far.
    void setRow(int row, const DownloadRow &data);
    int rowCount() const;
    QString text(int row, int column) const;
    void select(int row);

signals:
    void cancelRequested(int row);
    void openFolderRequested(int row);

private:
    void selectionChanged();

    QTreeWidget *m_list = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_openFolder = nullptr;
};
