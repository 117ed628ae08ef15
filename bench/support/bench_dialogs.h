#pragma once

#include "platform/ui/dialogs.h"

#include <cstdio>
#include <memory>

namespace benchsupport {

// Answers the Open dialog with the catalogue to open and every box with OK.
// Opening a catalogue whose picture files are not there shows "Picture file
// not found." on the first page; that is expected in a benchmark.
class BenchDialogs final : public mosswick::ui::Dialogs {
public:
    QString next_file;
    mosswick::ui::Answer message(QWidget*, const QString& text, const QString&, mosswick::ui::MessageIcon,
                                 mosswick::ui::MessageButtons) override
    {
        if (text != QLatin1String("Picture file not found."))
            std::fprintf(stderr, "unexpected message: %s\n", qPrintable(text));
        return mosswick::ui::Answer::Ok;
    }
    QString open_file(QWidget*, const QString&, const QString&, const QString&) override { return next_file; }
    std::optional<QColor> choose_color(QWidget*, const QColor&) override { return std::nullopt; }
    std::optional<QFont> choose_font(QWidget*, const QFont&) override { return std::nullopt; }
    bool print_setup(QWidget*, QPrinter&) override { return false; }
    QString ask_password(QWidget*) override { return {}; }
    bool open_with_desktop(const QString&) override { return false; }
};

// Installs a BenchDialogs as the program's dialogs and returns it.
inline BenchDialogs* install_bench_dialogs()
{
    auto owned = std::make_unique<BenchDialogs>();
    BenchDialogs* dialogs = owned.get();
    mosswick::ui::set_dialogs(std::move(owned));
    return dialogs;
}

} // namespace benchsupport
