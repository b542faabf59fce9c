#pragma once

#include <QApplication>

/// The hourglass pointer for as long as the guard lives; restore() brings the normal pointer back
/// early (before a message box), and the destructor does it on every other path.
class BusyCursor
{
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { restore(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
    /// The hourglass again after a message shown in the middle of the work.
    void resume()
    {
        if (!m_active) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            m_active = true;
        }
    }
    void restore()
    {
        if (m_active) {
            QApplication::restoreOverrideCursor();
            m_active = false;
        }
    }

private:
    bool m_active = true;
};
