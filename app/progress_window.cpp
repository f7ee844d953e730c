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
} // namespace

ProgressWindow::ProgressWindow(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
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
}

void ProgressWindow::setMaximum(Bar which, int maximum)
{
    bar(which)->setMaximum(std::max(maximum, 0));
}

void ProgressWindow::setPosition(Bar which, int position)
{
    // The bar itself would ignore a value outside its range; the window clamps instead.
    QProgressBar *target = bar(which);
    target->setValue(std::clamp(position, target->minimum(), target->maximum()));
}

void ProgressWindow::setCaption(Bar which, const QString &text)
{
    caption(which)->setText(text);
}

void ProgressWindow::show()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (screen)
        move(screen->geometry().center() - rect().center());
    QWidget::show();
    raise();
}

void ProgressWindow::hide()
{
    QWidget::hide();
}

void ProgressWindow::repaint(Repaint what)
{
    switch (what) {
    case Repaint::Window:
        QWidget::repaint();
        break;
    case Repaint::MainCaption:
        m_loadertext->repaint();
        break;
    case Repaint::ItemCaption:
        m_loadertext2->repaint();
        break;
    }
}

void ProgressWindow::processEvents()
{
    QCoreApplication::processEvents();
}
