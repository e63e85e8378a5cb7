#pragma once
// Weeks of day cells, each listing texts the program writes for that day.
//
// Days are numbered from 1 January 1900 (day 0). The shown span runs from the
// first day to the last day (normally 49 days: seven rows of seven, the first
// column being the first day's weekday). Texts may be written for any day
// number; only those inside the span are drawn.

#include <QDate>
#include <QHash>
#include <QString>
#include <QWidget>

class QPagedPaintDevice;

namespace printing {
class Pages;
}
class QPainter;

namespace calendar {

class MonthCalendar : public QWidget {
    Q_OBJECT
public:
    static constexpr int DaysPerWeek = 7;
    static constexpr int DefaultSpan = 49;

    explicit MonthCalendar(QWidget* parent = nullptr);
    ~MonthCalendar() override;

    // Day numbers: 1 January 1900 is day 0.
    static int dayNumber(const QDate& date);
    static QDate dateOf(int dayNumber);

    // ---- span
    int firstDay() const;
    int lastDay() const;
    void setFirstDay(int dayNumber);
    void setLastDay(int dayNumber);
    void setSpan(int firstDayNumber, int lastDayNumber);
    int dayCount() const;  // days in the span, at least 1
    int rowCount() const;

    int currentDay() const;
    void setCurrentDay(int dayNumber);

    // ---- texts
    void clearTexts();
    QString dayText(int dayNumber) const;
    void setDayText(int dayNumber, const QString& text);

    // ---- geometry
    int dayAt(const QPoint& pos) const;  // -1 outside the day cells
    QRect dayRect(int dayNumber) const;  // empty outside the span
    int headerHeight() const;

    // ---- printing
    QString printTitle() const;
    void setPrintTitle(const QString& title);
    int printFirstDay() const;
    int printLastDay() const;
    void setPrintRange(int firstDayNumber, int lastDayNumber);
    bool print(QPagedPaintDevice* device) const;
    // The same on the pages of a print, which may stop it at a page.
    bool print(printing::Pages& pages) const;
    // The month on the first page; the days whose entries their cells do
    // not hold are listed whole on the pages after it, each cell naming the
    // page its day is listed on.
    void paintPage(QPainter& painter, const QRectF& page, int pageIndex = 0) const;
    int printPageCount(QPainter& painter, const QRectF& page) const;

signals:
    void DayClick(int dayNumber);
    void DayDblClick(int dayNumber);
    void dayRightClicked(int dayNumber, const QPoint& globalPos);
    // Buttons 1 left, 2 right, 4 middle; shift 1 Shift, 2 Ctrl, 4 Alt;
    // x and y in pixels of the widget.
    void MouseDown(int button, int shift, int x, int y);
    void MouseUp(int button, int shift, int x, int y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct PrintPlan;
    PrintPlan planPrint(QPainter& p, const QRectF& page) const;
    // `listedOn`, when printing, gives the page each day too full for its
    // cell is listed on.
    void drawGrid(QPainter& p, const QRectF& area, int first, int last, bool forPrint,
                  const QHash<int, int>* listedOn = nullptr) const;

    int first_ = 0;
    int last_ = DefaultSpan - 1;
    int current_ = 0;
    int pressedDay_ = -1;
    QHash<int, QString> texts_;
    QString printTitle_;
    int printFirst_ = 0;
    int printLast_ = DefaultSpan - 1;
};

}  // namespace calendar
