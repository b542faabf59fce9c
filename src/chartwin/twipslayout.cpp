#include "twipslayout.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QVariant>
#include <QWidget>

namespace {

const char *const kDesignRect = "fingrafTwips";
const char *const kFitText = "fingrafFitText";

// Room a control's text needs, in pixels, as the controls' font draws it.
int neededWidth(const QWidget *w)
{
    if (auto *label = qobject_cast<const QLabel *>(w))
        return label->fontMetrics().horizontalAdvance(label->text()) + 2;
    if (auto *combo = qobject_cast<const QComboBox *>(w)) {
        QStyleOptionComboBox option;
        option.initFrom(combo);
        const QSize text(
            combo->fontMetrics().horizontalAdvance(combo->property(kFitText).toString()),
            combo->fontMetrics().height());
        return combo->style()->sizeFromContents(QStyle::CT_ComboBox, &option, text, combo).width();
    }
    return w->sizeHint().width();
}

} // namespace

double TwipsLayout::twipsPerPixel() const
{
    const int dpi = m_window->logicalDpiX() > 0 ? m_window->logicalDpiX() : 96;
    return 1440.0 / dpi;
}

void TwipsLayout::place(QWidget *w, int left, int top, int width, int height)
{
    const QRectF r(left, top, width, height);
    w->setProperty(kDesignRect, r);
    w->setGeometry(toPixels(r));
    if (!m_placed.contains(w))
        m_placed << w;
}

void TwipsLayout::setFitText(QWidget *comboBox, const QString &text)
{
    comboBox->setProperty(kFitText, text);
}

QRectF TwipsLayout::designOf(const QWidget *w) const
{
    return w->property(kDesignRect).toRectF();
}

void TwipsLayout::fit(const QList<QWidget *> &texts, const QList<QWidget *> &boxes)
{
    const double t = twipsPerPixel();
    m_scaleX = m_scaleY = 1;
    for (const QWidget *w : texts) {
        const double available = designOf(w).width() / t;
        if (available > 0)
            m_scaleX = qMax(m_scaleX, neededWidth(w) / available);
    }
    for (const QWidget *w : boxes) {
        const double available = designOf(w).height() / t;
        if (available > 0)
            m_scaleY = qMax(m_scaleY, w->sizeHint().height() / available);
    }
    for (QWidget *w : std::as_const(m_placed))
        w->setGeometry(toPixels(designOf(w)));
}

QRect TwipsLayout::toPixels(const QRectF &r) const
{
    const double t = twipsPerPixel();
    return QRect(qRound(r.left() * m_scaleX / t), qRound(r.top() * m_scaleY / t),
                 qRound(r.width() * m_scaleX / t), qRound(r.height() * m_scaleY / t));
}

QRectF TwipsLayout::toTwips(const QRect &r) const
{
    const double t = twipsPerPixel();
    return QRectF(r.left() * t / m_scaleX, r.top() * t / m_scaleY, r.width() * t / m_scaleX,
                  r.height() * t / m_scaleY);
}

int TwipsLayout::pixelsX(double twips) const
{
    return qRound(twips * m_scaleX / twipsPerPixel());
}

int TwipsLayout::pixelsY(double twips) const
{
    return qRound(twips * m_scaleY / twipsPerPixel());
}
