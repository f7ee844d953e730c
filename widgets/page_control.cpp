#include "widgets/page_control.h"

#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

PageControl::PageControl(QWidget *parent)
    : QWidget(parent), m_tabs(new QTabBar(this)), m_pages(new QStackedWidget(this))
{
    m_tabs->setDrawBase(true);
    m_tabs->setExpanding(false);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_tabs);
    layout->addWidget(m_pages, 1);
    connect(m_tabs, &QTabBar::currentChanged, this, &PageControl::tabPicked);
}

int PageControl::addPage(QWidget *page, const QString &caption)
{
    const QSignalBlocker blocker(m_tabs);
    m_pages->addWidget(page);
    return m_tabs->addTab(caption);
}

int PageControl::count() const
{
    return m_pages->count();
}

int PageControl::currentIndex() const
{
    return m_pages->currentIndex();
}

QWidget *PageControl::currentPage() const
{
    return m_pages->currentWidget();
}

QWidget *PageControl::page(int index) const
{
    return m_pages->widget(index);
}

QString PageControl::tabText(int index) const
{
    return m_tabs->tabText(index);
}

void PageControl::setCurrentIndex(int index)
{
    m_tabs->setCurrentIndex(index);
}

void PageControl::tabPicked(int index)
{
    const int shown = m_pages->currentIndex();
    if (index == shown || index < 0)
        return;
    // The tab bar has already moved; put it back until the guard agrees.
    const QSignalBlocker blocker(m_tabs);
    m_tabs->setCurrentIndex(shown);
    if (m_guard && !m_guard(index))
        return;
    m_tabs->setCurrentIndex(index);
    m_pages->setCurrentIndex(index);
    emit currentChanged(index);
}
