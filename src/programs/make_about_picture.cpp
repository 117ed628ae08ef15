// Writes the light edition's about picture (about3.jpg): the entire
// screenshot that its about box offers, taken of the light window itself on
// the demo catalogue, drawn off screen when the program is built.
#include "core/edition.h"
#include "frame/frm_browser.h"
#include "platform/ui/dialogs.h"
#include "tools/demo_data.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

using namespace mosswick;

namespace {

// A build never waits for anyone: nothing is asked, each message is logged.
class UnattendedDialogs final : public ui::Dialogs {
public:
    ui::Answer message(QWidget*, const QString& text, const QString&, ui::MessageIcon, ui::MessageButtons buttons) override
    {
        std::fprintf(stderr, "mosswick-about-picture: the window said: %s\n", qPrintable(text));
        return buttons == ui::MessageButtons::Ok ? ui::Answer::Ok : ui::Answer::No;
    }
    QString open_file(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QColor> choose_color(QWidget*, const QColor&) override { return std::nullopt; }
    std::optional<QFont> choose_font(QWidget*, const QFont&) override { return std::nullopt; }
    bool print_setup(QWidget*, QPrinter&) override { return false; }
    QString ask_password(QWidget*) override { return {}; }
    bool open_with_desktop(const QString&) override { return false; }
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.jpg\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir work;
    QString error;
    const QString catalogue = demo::make_demo_catalogue(work.path(), error);
    if (catalogue.isEmpty()) {
        std::fprintf(stderr, "mosswick-about-picture: %s\n", qPrintable(error));
        return 1;
    }
    ui::set_dialogs(std::make_unique<UnattendedDialogs>());
    frmBrowser window(Edition::light());
    // The window's design size: the off-screen screen is smaller.
    window.resize(1280, 800);
    window.show();
    window.Form_Load(catalogue);
    // As a user sees it once the check behind the page has passed.
    QElapsedTimer waited;
    waited.start();
    while (window.integrity_check_running() && waited.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    QCoreApplication::processEvents();
    const QPixmap shot = window.grab();
    window.close();
    if (shot.isNull() || !shot.save(QString::fromLocal8Bit(argv[1]), "JPG", 85)) {
        std::fprintf(stderr, "mosswick-about-picture: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
