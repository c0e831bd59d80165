#pragma once

#include <QObject>

class QWidget;

// Reports when a window has first been painted and ends the program there: a start-up
// measure. Once the first paint of `window` has been drawn and flushed, it writes one line on
// standard output,
//   first-paint-ns <CLOCK_MONOTONIC in ns> rss-kb <resident set in kB>
// and quits the application's event loop. The clock is the system's, so a parent that read it
// before starting the program gets the start-up time by a subtraction.
class TFirstPaintReport : public QObject {
    Q_OBJECT
public:
    explicit TFirstPaintReport(QWidget& window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Report();

    bool FPainted = false;
};
