#pragma once

#include "platform/ui/dialogs.h"

#include <QPrinter>

#include <deque>
#include <functional>
#include <vector>

namespace testsupport {

// A dialog seam that answers from queues and records what was asked.
// Running out of answers fails the test instead of blocking.
class ScriptedDialogs final : public mosswick::ui::Dialogs {
public:
    struct Asked {
        QString kind;   // "message", "open", "color", "font", "print", "password", "desktop"
        QString text;   // message text, dialog title or the file handed to the desktop
        QString title;  // message title or filter
        mosswick::ui::MessageButtons buttons = mosswick::ui::MessageButtons::Ok;
    };

    std::deque<mosswick::ui::Answer> answers;   // for questions (YesNo...); Ok boxes need none
    std::deque<QString> files;                  // open dialog results ("" = cancel)
    std::deque<QString> passwords;              // password prompt results ("" = cancel)
    std::deque<std::optional<QColor>> colors;
    std::deque<std::optional<QFont>> fonts;
    std::deque<bool> prints;
    QString print_file;                         // a print dialog answered yes prints this PDF file, when given
    bool desktop_opens = true;                  // what the desktop answers a file handed to it
    std::vector<Asked> asked;
    // Called as each message box is shown, while the action that shows it runs.
    std::function<void(const QString& text)> on_message;

    mosswick::ui::Answer message(QWidget*, const QString& text, const QString& title, mosswick::ui::MessageIcon,
                                 mosswick::ui::MessageButtons buttons) override;
    QString open_file(QWidget*, const QString& title, const QString& filter, const QString&) override;
    std::optional<QColor> choose_color(QWidget*, const QColor&) override;
    std::optional<QFont> choose_font(QWidget*, const QFont&) override;
    bool print_setup(QWidget*, QPrinter&) override;
    QString ask_password(QWidget*) override;
    bool open_with_desktop(const QString& path) override;

    // Texts of the message boxes shown, in order.
    QStringList messages() const;
    // The files handed to the desktop, in order.
    QStringList desktop_files() const;
    int count(const QString& kind) const;

private:
    QStringList texts_of(const QString& kind) const;
};

// Installs a ScriptedDialogs for the scope of a test and restores the real
// dialogs afterwards.
class ScopedScriptedDialogs {
public:
    ScopedScriptedDialogs();
    ~ScopedScriptedDialogs();
    ScriptedDialogs* operator->() { return m_dialogs; }
    ScriptedDialogs& operator*() { return *m_dialogs; }

private:
    ScriptedDialogs* m_dialogs;
};

} // namespace testsupport
