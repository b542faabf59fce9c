#pragma once

#include <QWidget>

class QLineEdit;

/// Up-down arrows beside a text box: each click steps the box's leading number by 1 within the
/// limits. The box stays a free text box.
class UpDown : public QWidget
{
    Q_OBJECT
public:
    UpDown(QLineEdit *buddy, int min, int max, QWidget *parent = nullptr);
    void step(int delta);

private:
    QLineEdit *m_buddy;
    int m_min;
    int m_max;
};
