#include "core/edition.h"
#include "frame/frm_browser.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const mosswick::Edition edition = mosswick::Edition::light();
    QApplication::setApplicationName(QStringLiteral("mosswick-light"));
    mosswick::frmBrowser window(edition);
    window.show();
    window.Form_Load(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString());
    return app.exec();
}
