#include "support/scripted_dialogs.h"

#include <gtest/gtest.h>

using mosswick::ui::Answer;
using mosswick::ui::MessageButtons;

namespace testsupport {

Answer ScriptedDialogs::message(QWidget*, const QString& text, const QString& title, mosswick::ui::MessageIcon,
                                MessageButtons buttons)
{
    asked.push_back({QStringLiteral("message"), text, title, buttons});
    if (on_message)
        on_message(text);
    if (buttons == MessageButtons::Ok)
        return Answer::Ok;
    if (answers.empty()) {
        ADD_FAILURE() << "unexpected question: " << text.toStdString();
        return buttons == MessageButtons::YesNo ? Answer::No : Answer::Cancel;
    }
    const Answer a = answers.front();
    answers.pop_front();
    return a;
}

QString ScriptedDialogs::open_file(QWidget*, const QString& title, const QString& filter, const QString&)
{
    asked.push_back({QStringLiteral("open"), title, filter});
    if (files.empty()) {
        ADD_FAILURE() << "unexpected open dialog: " << title.toStdString();
        return {};
    }
    const QString f = files.front();
    files.pop_front();
    return f;
}

std::optional<QColor> ScriptedDialogs::choose_color(QWidget*, const QColor&)
{
    asked.push_back({QStringLiteral("color"), {}, {}});
    if (colors.empty()) {
        ADD_FAILURE() << "unexpected colour dialog";
        return std::nullopt;
    }
    const auto c = colors.front();
    colors.pop_front();
    return c;
}

std::optional<QFont> ScriptedDialogs::choose_font(QWidget*, const QFont&)
{
    asked.push_back({QStringLiteral("font"), {}, {}});
    if (fonts.empty()) {
        ADD_FAILURE() << "unexpected font dialog";
        return std::nullopt;
    }
    const auto f = fonts.front();
    fonts.pop_front();
    return f;
}

bool ScriptedDialogs::print_setup(QWidget*, QPrinter& printer)
{
    asked.push_back({QStringLiteral("print"), {}, {}});
    if (prints.empty()) {
        ADD_FAILURE() << "unexpected print dialog";
        return false;
    }
    const bool p = prints.front();
    prints.pop_front();
    // As the dialog's "print to file" choice.
    if (p && !print_file.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(print_file);
    }
    return p;
}

QString ScriptedDialogs::ask_password(QWidget*)
{
    asked.push_back({QStringLiteral("password"), {}, {}});
    if (passwords.empty()) {
        ADD_FAILURE() << "unexpected password prompt";
        return {};
    }
    const QString p = passwords.front();
    passwords.pop_front();
    return p;
}

bool ScriptedDialogs::open_with_desktop(const QString& path)
{
    asked.push_back({QStringLiteral("desktop"), path, {}});
    return desktop_opens;
}

QStringList ScriptedDialogs::texts_of(const QString& kind) const
{
    QStringList out;
    for (const Asked& a : asked)
        if (a.kind == kind)
            out << a.text;
    return out;
}

QStringList ScriptedDialogs::messages() const
{
    return texts_of(QStringLiteral("message"));
}

QStringList ScriptedDialogs::desktop_files() const
{
    return texts_of(QStringLiteral("desktop"));
}

int ScriptedDialogs::count(const QString& kind) const
{
    int n = 0;
    for (const Asked& a : asked)
        n += a.kind == kind;
    return n;
}

ScopedScriptedDialogs::ScopedScriptedDialogs()
{
    auto d = std::make_unique<ScriptedDialogs>();
    m_dialogs = d.get();
    mosswick::ui::set_dialogs(std::move(d));
}

ScopedScriptedDialogs::~ScopedScriptedDialogs()
{
    mosswick::ui::set_dialogs(nullptr);
}

} // namespace testsupport
