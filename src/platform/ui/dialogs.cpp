#include "platform/ui/dialogs.h"

#include "platform/ui/frm_db_password.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QUrl>

namespace mosswick::ui {

namespace {

class QtDialogs final : public Dialogs {
public:
    Answer message(QWidget* parent, const QString& text, const QString& title, MessageIcon icon,
                   MessageButtons buttons) override
    {
        QMessageBox box(parent);
        box.setWindowTitle(title.isEmpty() ? program_title() : title);
        box.setText(text);
        switch (icon) {
        case MessageIcon::None: box.setIcon(QMessageBox::NoIcon); break;
        case MessageIcon::Information: box.setIcon(QMessageBox::Information); break;
        case MessageIcon::Warning: box.setIcon(QMessageBox::Warning); break;
        case MessageIcon::Critical: box.setIcon(QMessageBox::Critical); break;
        case MessageIcon::Question: box.setIcon(QMessageBox::Question); break;
        }
        switch (buttons) {
        case MessageButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
        case MessageButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
        case MessageButtons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
        case MessageButtons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
        }
        const int r = box.exec();
        switch (r) {
        case QMessageBox::Ok: return Answer::Ok;
        case QMessageBox::Yes: return Answer::Yes;
        case QMessageBox::No: return Answer::No;
        default:
            if (buttons == MessageButtons::Ok)
                return Answer::Ok;
            if (buttons == MessageButtons::YesNo)
                return Answer::No;
            return Answer::Cancel;
        }
    }

    QString open_file(QWidget* parent, const QString& title, const QString& filter, const QString& start_folder) override
    {
        return QFileDialog::getOpenFileName(parent, title, start_folder, filter);
    }

    std::optional<QColor> choose_color(QWidget* parent, const QColor& initial) override
    {
        const QColor c = QColorDialog::getColor(initial, parent);
        if (!c.isValid())
            return std::nullopt;
        return c;
    }

    std::optional<QFont> choose_font(QWidget* parent, const QFont& initial) override
    {
        bool ok = false;
        const QFont f = QFontDialog::getFont(&ok, initial, parent);
        if (!ok)
            return std::nullopt;
        return f;
    }

    bool print_setup(QWidget* parent, QPrinter& printer) override
    {
        QPrintDialog dlg(&printer, parent);
        return dlg.exec() == QDialog::Accepted;
    }

bool open_with_desktop(const QString& path) override
    {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    }

        QString ask_password(QWidget* parent) override
    {
        frmDbPassword prompt(parent);
        prompt.exec();
        return prompt.password();
    }
};

std::unique_ptr<Dialogs>& installed()
{
    static std::unique_ptr<Dialogs> d;
    return d;
}

QString& title_storage()
{
    static QString t = QStringLiteral("Mosswick Database");
    return t;
}

} // namespace

std::unique_ptr<Dialogs> make_qt_dialogs()
{
    return std::make_unique<QtDialogs>();
}

Dialogs& dialogs()
{
    auto& d = installed();
    if (!d)
        d = std::make_unique<QtDialogs>();
    return *d;
}

void set_dialogs(std::unique_ptr<Dialogs> replacement)
{
    installed() = std::move(replacement);
}

const QString& program_title()
{
    return title_storage();
}

void set_program_title(const QString& title)
{
    title_storage() = title;
}

void show_message(QWidget* parent, const QString& text, const QString& title, MessageIcon icon)
{
    dialogs().message(parent, text, title, icon, MessageButtons::Ok);
}

} // namespace mosswick::ui
