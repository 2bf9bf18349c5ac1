#include "popupwindow.h"

#include "pageplacement.h"
#include "untrustedtext.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QUrl>
#include <QVBoxLayout>

#include <limits>

namespace {

constexpr QSize kDefaultPageSize{500, 400};
constexpr QSize kMinimumPageSize{100, 100};
// An origin longer than this loses the start of its host, never the end that names the site.
constexpr qsizetype kMaxOriginChars = 60;

} // namespace

PopupWindow::PopupWindow(QWidget *pageArea)
    : QWidget(pageArea, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                      | Qt::WindowCloseButtonHint),
      m_owner(pageArea)
{
    setObjectName(QStringLiteral("popupWindow"));
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto *where = m_where = new QHBoxLayout;
    where->setContentsMargins(6, 3, 6, 3);
    where->setSpacing(8);
    m_security = new QLabel(this);
    m_security->setObjectName(QStringLiteral("popupSecurity"));
    m_security->setTextFormat(Qt::PlainText);
    QFont bold = m_security->font();
    bold.setBold(true);
    m_security->setFont(bold);
    m_origin = new QLabel(this);
    m_origin->setObjectName(QStringLiteral("popupOrigin"));
    m_origin->setTextFormat(Qt::PlainText);
    m_origin->setTextInteractionFlags(Qt::TextSelectableByMouse);
    where->addWidget(m_security);
    where->addWidget(m_origin, 1);
    column->addLayout(where);
    m_pageArea = new QWidget(this);
    m_pageArea->setObjectName(QStringLiteral("popupPage"));
    m_fill = new QGridLayout(m_pageArea);
    m_fill->setContentsMargins(0, 0, 0, 0);
    column->addWidget(m_pageArea, 1);
}

QString PopupWindow::originOf(const QUrl &url)
{
    if (url.isEmpty()) // before its first page has begun
        return {};
    if (url.scheme() == QLatin1String("blob"))
        return originOf(QUrl(url.path()));
    const QString host = url.host(QUrl::FullyEncoded);
    if (host.isEmpty())
        return url.scheme() + u':';
    QString origin = url.scheme() + QStringLiteral("://") + host;
    if (url.port() >= 0)
        origin += u':' + QString::number(url.port());
    return origin;
}

void PopupWindow::showWhere(const QUrl &url, bool secure)
{
    QString origin = shortText(originOf(url), std::numeric_limits<int>::max());
    const qsizetype start = origin.indexOf(QStringLiteral("://")) + 3;
    if (origin.size() > kMaxOriginChars && start > 3) {
        origin = origin.left(start) + QChar(0x2026) + origin.right(kMaxOriginChars - start - 1);
    }
    m_origin->setText(origin);
    m_security->setText(secure ? QStringLiteral("Secure") : QStringLiteral("Not secure"));
    // The frame says no more than the line does: the page's own title could claim anything.
    setWindowTitle(origin);
}

void PopupWindow::placeFor(QSize pageSize)
{
    if (pageSize.isEmpty())
        pageSize = kDefaultPageSize;
    pageSize = pageSize.expandedTo(kMinimumPageSize);
    // The line above the page is shown whole: the popup is at least as wide as it needs.
    layout()->activate();
    resize(pageSize + QSize(0, m_where->sizeHint().height()));
    placeOverPage(this, m_owner);
}

void PopupWindow::closeEvent(QCloseEvent *event)
{
    event->accept();
    emit closed();
}
