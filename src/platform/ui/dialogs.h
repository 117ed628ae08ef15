#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

class QWidget;
class QPrinter;

namespace mosswick::ui {

enum class MessageIcon { None, Information, Warning, Critical, Question };
enum class MessageButtons { Ok, YesNo, YesNoCancel, OkCancel };
enum class Answer { Ok, Yes, No, Cancel };

// Everything modal the program asks the user goes through this seam, so that
// tests can answer it from a script instead of blocking on a window.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // Shows a message box and returns the button chosen; closing the box
    // counts as Cancel (or No when there is no Cancel button, Ok for Ok only).
    virtual Answer message(QWidget* parent, const QString& text, const QString& title,
                           MessageIcon icon, MessageButtons buttons) = 0;

    // Open dialog; filter is in Qt form ("Label (*.mdb)"). Empty when cancelled.
    virtual QString open_file(QWidget* parent, const QString& title, const QString& filter,
                              const QString& start_folder) = 0;

    // Colour dialog; nullopt when cancelled.
    virtual std::optional<QColor> choose_color(QWidget* parent, const QColor& initial) = 0;

    // Font dialog; nullopt when cancelled.
    virtual std::optional<QFont> choose_font(QWidget* parent, const QFont& initial) = 0;

    // Print dialog over the given printer; false when cancelled.
    virtual bool print_setup(QWidget* parent, QPrinter& printer) = 0;

    // The catalogue password prompt. Returns the typed text after Enter, an
    // empty text after Esc or the close box (both mean cancel).
    virtual QString ask_password(QWidget* parent) = 0;

    // Hands a file to the desktop's program for its type (a movie); false
    // when no program took it.
    virtual bool open_with_desktop(const QString& path) = 0;
};

// The plain Qt dialogs.
std::unique_ptr<Dialogs> make_qt_dialogs();

// The dialogs in use: real Qt dialogs unless a program or a test installed others.
Dialogs& dialogs();

// Installs a replacement; passing nullptr restores the plain Qt dialogs.
void set_dialogs(std::unique_ptr<Dialogs> replacement);

// The program's title, used for message boxes that have no title of their own.
const QString& program_title();
void set_program_title(const QString& title);

// Convenience: a message box with an OK button and the program's title when
// title is empty.
void show_message(QWidget* parent, const QString& text, const QString& title = {},
                  MessageIcon icon = MessageIcon::None);

} // namespace mosswick::ui
