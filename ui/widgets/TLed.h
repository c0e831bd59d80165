#pragma once

#include <QColor>
#include <QWidget>

// An indicator lamp, round or diamond, that fills the square centred in its widget. The off look
// is derived from the on colour unless an off colour is given.
class TLed : public QWidget {
    Q_OBJECT
public:
    enum class TShape { Round, Diamond };

    explicit TLed(QWidget* parent = nullptr);

    bool isActive() const { return FActive; }
    void setActive(bool on);

    TShape shape() const { return FShape; }
    void setShape(TShape shape);

    QColor onColor() const { return FOnColor; }
    void setOnColor(const QColor& color);
    // The colour of the dark lamp: the explicit one, or the on colour dimmed.
    QColor offColor() const;
    // An invalid colour returns to the derived off look.
    void setOffColor(const QColor& color);

    // A raised bevel around the lamp, as on the toolbar LED.
    bool hasBevel() const { return FBevel; }
    void setBevel(bool raised);

    QSize sizeHint() const override { return {21, 21}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool FActive = false;             // lit
    TShape FShape = TShape::Round;    // outline
    QColor FOnColor = Qt::red;        // colour when lit
    QColor FOffColor;                 // explicit off colour; invalid = derived
    bool FBevel = false;              // raised bevel drawn around the lamp
};
