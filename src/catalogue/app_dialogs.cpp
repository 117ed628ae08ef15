#include "catalogue/app_dialogs.h"

#include "catalogue/frm_db_password.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QPrintDialog>

namespace mosswick {

namespace {

class AppDialogs final : public ui::Dialogs {
public:
    AppDialogs() : m_base(nullptr) {}

    ui::Answer message(QWidget* parent, const QString& text, const QString& title, ui::MessageIcon icon,
                       ui::MessageButtons buttons) override
    {
        return base().message(parent, text, title, icon, buttons);
    }
    QString open_file(QWidget* parent, const QString& title, const QString& filter, const QString& start) override
    {
        return base().open_file(parent, title, filter, start);
    }
    std::optional<QColor> choose_color(QWidget* parent, const QColor& initial) override
    {
        return base().choose_color(parent, initial);
    }
    std::optional<QFont> choose_font(QWidget* parent, const QFont& initial) override
    {
        return base().choose_font(parent, initial);
    }
    bool print_setup(QWidget* parent, QPrinter& printer) override { return base().print_setup(parent, printer); }
    bool open_with_desktop(const QString& path) override { return base().open_with_desktop(path); }

    QString ask_password(QWidget* parent) override
    {
        frmDbPassword prompt(parent);
        prompt.exec();
        return prompt.password();
    }

private:
    ui::Dialogs& base()
    {
        if (!m_base)
            m_base = ui::make_qt_dialogs();
        return *m_base;
    }
    std::unique_ptr<ui::Dialogs> m_base;
};

} // namespace

std::unique_ptr<ui::Dialogs> make_app_dialogs()
{
    return std::make_unique<AppDialogs>();
}

} // namespace mosswick
