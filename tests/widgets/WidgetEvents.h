#pragma once

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>

// Input delivered straight to a widget, as the window system would, at fractional positions
// where that matters.
namespace widget_events {

inline void mouse(QWidget* w, QEvent::Type type, QPointF at, Qt::MouseButtons held)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, at, w->mapToGlobal(at), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

inline void press(QWidget* w, QPointF at) { mouse(w, QEvent::MouseButtonPress, at, Qt::LeftButton); }
inline void drag(QWidget* w, QPointF at) { mouse(w, QEvent::MouseMove, at, Qt::LeftButton); }
inline void release(QWidget* w, QPointF at) { mouse(w, QEvent::MouseButtonRelease, at, Qt::NoButton); }
inline void doubleClick(QWidget* w, QPointF at)
{
    mouse(w, QEvent::MouseButtonDblClick, at, Qt::LeftButton);
}

inline void key(QWidget* w, int key)
{
    QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

// `angle` in eighths of a degree: 120 is one notch of a common wheel, upward positive.
inline void wheel(QWidget* w, int angle)
{
    const QPointF at(w->width() / 2.0, w->height() / 2.0);
    QWheelEvent e(at, w->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton,
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(w, &e);
}

} // namespace widget_events
