#include "app/progress_window.h"

#include "app/fonts.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>

#include <algorithm>

namespace {
constexpr int Side = 400;
constexpr int DesignMaximum = 10000;

QLabel *makeCaption(const QString &name, int top, int height, int pixelSize, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setGeometry(0, top, Side, height);
    label->setAlignment(Qt::AlignCenter);
    label->setFont(tahomaFont(pixelSize));
    return label;
}

QProgressBar *makeBar(const QString &name, int top, QWidget *parent)
{
    auto *bar = new QProgressBar(parent);
    bar->setObjectName(name);
    bar->setGeometry(0, top, Side, 17);
    bar->setRange(0, DesignMaximum);
    bar->setValue(0);
    bar->setTextVisible(false);
    return bar;
}

// A bar paints itself at once at every new value; the window paints it with the rest instead.
void setQuietly(QProgressBar *bar, int value)
{
    bar->setUpdatesEnabled(false);
    bar->setValue(value);
    bar->setUpdatesEnabled(true);
}
} // namespace

ProgressWindow::ProgressWindow(std::chrono::milliseconds refreshInterval, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_refreshInterval(refreshInterval)
{
    setObjectName(QStringLiteral("SplashForm"));
    setFixedSize(Side, Side);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
    setAutoFillBackground(true);

    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("picture"));
    picture->setGeometry(0, 0, Side, 316);
    picture->setPixmap(QPixmap(QStringLiteral(":/splash.png")));

    auto *wait = new QLabel(QStringLiteral("Пожалуйста, ожидайте"), this);
    wait->setObjectName(QStringLiteral("waitlabel"));
    wait->setGeometry(16, 19, 369, 73);
    wait->setAlignment(Qt::AlignCenter);
    // 32 pixels fit in Tahoma; a wider stand-in font is made smaller until the words fit.
    int pixelSize = 32;
    while (pixelSize > 12 && QFontMetrics(tahomaFont(pixelSize)).horizontalAdvance(wait->text()) > wait->width())
        --pixelSize;
    wait->setFont(tahomaFont(pixelSize));

    m_loadertext = makeCaption(QStringLiteral("loadertext"), 316, 25, 16, this);
    m_loader = makeBar(QStringLiteral("loader"), 341, this);
    m_loadertext2 = makeCaption(QStringLiteral("loadertext2"), 358, 25, 16, this);
    m_loader2 = makeBar(QStringLiteral("loader2"), 383, this);
    m_sinceRefresh.start();
}

void ProgressWindow::setMaximum(Bar which, int maximum)
{
    showLatestItem();
    bar(which)->setMaximum(std::max(maximum, 0));
}

void ProgressWindow::setPosition(Bar which, int position)
{
    if (which == Bar::Item) {
        m_itemPosition = position;
        m_itemPending = true;
        if (position >= m_loader2->maximum())
            m_refreshForced = true;
        return;
    }
    showLatestItem();
    // The bar itself would ignore a value outside its range; the window clamps instead.
    setQuietly(m_loader, std::clamp(position, m_loader->minimum(), m_loader->maximum()));
    // A new phase reaches the screen at the next turn of the event loop, whenever that is.
    m_refreshForced = true;
}

void ProgressWindow::setCaption(Bar which, const QString &text)
{
    if (which == Bar::Item) {
        m_itemCaption = text;
        m_itemPending = true;
        return;
    }
    showLatestItem();
    m_loadertext->setText(text);
}

void ProgressWindow::show()
{
    showLatestItem();
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (screen)
        move(screen->geometry().center() - rect().center());
    QWidget::show();
    raise();
}

void ProgressWindow::hide()
{
    showLatestItem();
    QWidget::hide();
}

void ProgressWindow::repaint(Repaint what)
{
    if (what == Repaint::ItemCaption) {
        if (!refreshDue())
            return;
        showLatestItem();
        m_loadertext2->repaint();
        return;
    }
    showLatestItem();
    // The window's pending paint at once: what changed, the rest is on the screen already.
    if (what == Repaint::Window)
        QCoreApplication::sendPostedEvents(this, QEvent::UpdateRequest);
    else
        m_loadertext->repaint();
}

void ProgressWindow::processEvents()
{
    if (!refreshDue())
        return;
    showLatestItem();
    QCoreApplication::processEvents();
    m_refreshForced = false;
    m_sinceRefresh.restart();
}

bool ProgressWindow::refreshDue() const
{
    return m_refreshForced || std::chrono::milliseconds(m_sinceRefresh.elapsed()) >= m_refreshInterval;
}

void ProgressWindow::showLatestItem()
{
    if (!m_itemPending)
        return;
    m_itemPending = false;
    setQuietly(m_loader2, std::clamp(m_itemPosition, m_loader2->minimum(), m_loader2->maximum()));
    m_loadertext2->setText(m_itemCaption);
}
