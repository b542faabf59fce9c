#include "updown.h"

#include "platform/text/vbtext.h"

#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

UpDown::UpDown(QLineEdit *buddy, int min, int max, QWidget *parent)
    : QWidget(parent), m_buddy(buddy), m_min(min), m_max(max)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int delta : {1, -1}) {
        auto *b = new QToolButton(this);
        b->setArrowType(delta > 0 ? Qt::UpArrow : Qt::DownArrow);
        b->setAutoRepeat(true);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        connect(b, &QToolButton::clicked, this, [this, delta] { step(delta); });
        layout->addWidget(b);
    }
}

void UpDown::step(int delta)
{
    const int v = qBound(m_min, int(VbText::val(m_buddy->text())) + delta, m_max);
    m_buddy->setText(QString::number(v));
}
