#include "dialogs.h"

#include <QColorDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QProgressDialog>

#include <algorithm>

Dialogs::Answer QtDialogs::message(QWidget *parent, const QString &text, Icon icon, Buttons buttons,
                                   const QString &title)
{
    QMessageBox box(parent);
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
    case Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case Question:
        box.setIcon(QMessageBox::Question);
        break;
    case Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case NoIcon:
        break;
    }
    if (buttons == YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? AnswerYes : AnswerNo;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return AnswerOk;
}

QtDialogs::QtDialogs() = default;
QtDialogs::~QtDialogs() = default;

bool QtDialogs::progress(QWidget *parent, const QString &what, int percent)
{
    if (percent >= 100) {
        m_progress.reset();
        return true;
    }
    if (!m_progress || m_progress->labelText() != what) {
        m_progress =
            std::make_unique<QProgressDialog>(what, QStringLiteral("Prekini"), 0, 100, parent);
        m_progress->setWindowTitle(defaultTitle());
        m_progress->setWindowModality(Qt::WindowModal);
        m_progress->setMinimumDuration(500);
        m_progress->setAutoClose(false);
        m_progress->setAutoReset(false);
    }
    // a modal box lets the window paint and the box appear as the value changes
    m_progress->setValue(std::max(0, percent));
    return !m_progress->wasCanceled();
}

bool QtDialogs::input(QWidget *parent, const QString &prompt, const QString &title,
                      const QString &defaultText, QString *answer)
{
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, defaultText, &ok);
    if (ok)
        *answer = text;
    return ok;
}

bool QtDialogs::color(QWidget *parent, const QColor &initial, QColor *chosen)
{
    const QColor c = QColorDialog::getColor(initial, parent);
    if (!c.isValid())
        return false;
    *chosen = c;
    return true;
}

bool QtDialogs::printerSetup(QWidget *parent, QPrinter *printer)
{
    QPageSetupDialog dialog(printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

bool ScriptedDialogs::printerSetup(QWidget *, QPrinter *)
{
    ++printerSetups;
    return true;
}

Dialogs::Answer ScriptedDialogs::message(QWidget *, const QString &text, Icon icon, Buttons buttons,
                                         const QString &title)
{
    messages.append({text, icon, buttons, title});
    if (answers.empty())
        return buttons == YesNo ? AnswerYes : AnswerOk;
    const Answer a = answers.front();
    answers.pop_front();
    return a;
}

bool ScriptedDialogs::input(QWidget *, const QString &prompt, const QString &, const QString &,
                            QString *answer)
{
    prompts << prompt;
    if (inputs.empty())
        return false;
    const QString a = inputs.front();
    inputs.pop_front();
    if (a.isNull())
        return false;
    *answer = a;
    return true;
}

bool ScriptedDialogs::color(QWidget *, const QColor &, QColor *chosen)
{
    if (colors.empty())
        return false;
    const QColor c = colors.front();
    colors.pop_front();
    if (!c.isValid())
        return false;
    *chosen = c;
    return true;
}

bool ScriptedDialogs::progress(QWidget *, const QString &what, int percent)
{
    progressSteps << percent;
    if (onProgress)
        onProgress(what, percent);
    return stopAt < 0 || percent < stopAt || percent >= 100;
}

QStringList ScriptedDialogs::texts() const
{
    QStringList t;
    for (const auto &m : messages)
        t << m.text;
    return t;
}
