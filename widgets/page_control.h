#pragma once

#include <QWidget>

#include <functional>

class QStackedWidget;
class QTabBar;

// Tabbed pages whose change can be refused: before another page is shown the guard is
// asked, and the tab stays where it was while it decides and after a refusal.
class PageControl : public QWidget
{
    Q_OBJECT
public:
    using ChangeGuard = std::function<bool(int newIndex)>;

    explicit PageControl(QWidget *parent = nullptr);

    int addPage(QWidget *page, const QString &caption);
    int count() const;
    int currentIndex() const;
    QWidget *currentPage() const;
    QWidget *page(int index) const;
    QString tabText(int index) const;
    QTabBar *tabBar() const { return m_tabs; }

    void setChangeGuard(ChangeGuard guard) { m_guard = std::move(guard); }
    // Shows page `index` as a user's pick would: through the guard.
    void setCurrentIndex(int index);

signals:
    // After the page shown has changed.
    void currentChanged(int index);

private:
    void tabPicked(int index);

    QTabBar *m_tabs;
    QStackedWidget *m_pages;
    ChangeGuard m_guard;
};
