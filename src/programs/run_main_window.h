#pragma once

#include "core/edition.h"
#include "frame/frm_browser.h"

#include <QApplication>

namespace mosswick {

// Both editions' main(): the window of an edition, opening the catalogue the
// command line names, if any.
inline int run_main_window(int argc, char** argv, const Edition& edition, const QString& program_name)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(program_name);
    frmBrowser window(edition);
    window.show();
    window.Form_Load(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString());
    return app.exec();
}

} // namespace mosswick
