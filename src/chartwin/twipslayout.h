#pragma once

#include <QList>
#include <QRect>
#include <QRectF>

class QWidget;

/// Places controls by a design in twips, stretched for the font the controls use: the twips are
/// taken as pixels at the screen's resolution, then widened (and heightened) by as much as the
/// tightest text needs, so that every caption and box text fits where the design puts it.
class TwipsLayout
{
public:
    explicit TwipsLayout(QWidget *window) : m_window(window) {}

    /// Places a control at its design rectangle, now and whenever the stretch changes.
    void place(QWidget *w, int left, int top, int width, int height);
    /// The stretch that lets the texts of these controls fit their design widths (a list box is
    /// measured with its fitText() entry), and the boxes' text their design heights; re-places
    /// every control.
    void fit(const QList<QWidget *> &texts, const QList<QWidget *> &boxes);
    /// The entry a list box is measured with (the one it opens with; the open list is as wide as
    /// its widest entry).
    static void setFitText(QWidget *comboBox, const QString &text);

    QRect toPixels(const QRectF &twips) const;
    QRectF toTwips(const QRect &pixels) const;
    int pixelsX(double twips) const;
    int pixelsY(double twips) const;
    QRectF designOf(const QWidget *w) const;
    /// Twips a pixel at the screen's resolution, without stretch (the unit of stored positions).
    double twipsPerPixel() const;

private:
    QWidget *m_window;
    QList<QWidget *> m_placed;
    double m_scaleX = 1, m_scaleY = 1;
};
