#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <QVector>

#include <deque>
#include <functional>
#include <memory>

class QPrinter;
class QProgressDialog;
class QWidget;

/// Message, input and colour boxes. Windows reach them only through this interface, so tests can
/// answer from a script and read every message.
class Dialogs
{
public:
    enum Icon { NoIcon, Information, Exclamation, Question, Critical };
    enum Buttons { Ok, YesNo };
    enum Answer { AnswerOk, AnswerYes, AnswerNo };

    static QString defaultTitle() { return QStringLiteral("TarnFinGrafPromet11"); }

    virtual ~Dialogs() = default;
    virtual Answer message(QWidget *parent, const QString &text, Icon icon = NoIcon,
                           Buttons buttons = Ok, const QString &title = defaultTitle()) = 0;
    /// Returns false on Cancel; *answer then keeps nothing of the user's typing.
    virtual bool input(QWidget *parent, const QString &prompt, const QString &title,
                       const QString &defaultText, QString *answer) = 0;
    /// Returns false on Cancel.
    virtual bool color(QWidget *parent, const QColor &initial, QColor *chosen) = 0;
    /// The printer set-up (page, orientation, paper) for a printer; false on Cancel.
    virtual bool printerSetup(QWidget *parent, QPrinter *printer) = 0;
    /// How far a long piece of work has come, in per cent: the work tells 0 when it starts and
    /// 100 when it ends. Work that ends within half a second shows nothing. False when the user
    /// stopped the work: it then ends, leaving things as they were, and tells 100.
    virtual bool progress(QWidget *parent, const QString &what, int percent) = 0;
};

/// The real boxes, over QMessageBox, QInputDialog and QColorDialog.
class QtDialogs : public Dialogs
{
public:
    QtDialogs();
    ~QtDialogs() override;
    Answer message(QWidget *parent, const QString &text, Icon icon, Buttons buttons,
                   const QString &title) override;
    bool input(QWidget *parent, const QString &prompt, const QString &title,
               const QString &defaultText, QString *answer) override;
    bool color(QWidget *parent, const QColor &initial, QColor *chosen) override;
    bool printerSetup(QWidget *parent, QPrinter *printer) override;
    bool progress(QWidget *parent, const QString &what, int percent) override;

private:
    std::unique_ptr<QProgressDialog> m_progress;
};

/// Answers from queues and records every box; for tests and for work without a screen (where an
/// unanswered question gets OK, Yes or Cancel).
class ScriptedDialogs : public Dialogs
{
public:
    struct Shown
    {
        QString text;
        Icon icon;
        Buttons buttons;
        QString title;
    };
    QVector<Shown> messages;
    QStringList prompts;
    std::deque<Answer> answers;
    std::deque<QString> inputs; ///< a null QString answers Cancel
    std::deque<QColor> colors;  ///< an invalid colour answers Cancel

    Answer message(QWidget *, const QString &text, Icon icon, Buttons buttons,
                   const QString &title) override;
    bool input(QWidget *, const QString &prompt, const QString &title, const QString &defaultText,
               QString *answer) override;
    bool color(QWidget *, const QColor &initial, QColor *chosen) override;
    /// Counts the set-ups asked for and answers OK without changing the printer.
    bool printerSetup(QWidget *, QPrinter *) override;
    int printerSetups = 0;
    /// Records the steps told and passes them to whoever listens (the launcher on a terminal);
    /// stops the work at the first step of stopAt per cent or more.
    bool progress(QWidget *, const QString &what, int percent) override;
    QVector<int> progressSteps;
    int stopAt = -1;
    std::function<void(const QString &what, int percent)> onProgress;
    QStringList texts() const;
};
