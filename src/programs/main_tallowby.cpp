// Tallowby: shows one picture in a borderless window until it is clicked.

#include "platform/picture/picture.h"
#include "platform/ui/dialogs.h"
#include "viewer/viewer_app.h"
#include "viewer/viewer_layout.h"

#include <QApplication>
#include <QDir>
#include <QScreen>

int main(int argc, char** argv)
{
    using namespace mosswick;
    QApplication app(argc, argv);
    QApplication::setApplicationName(viewer::k_program_name);
    ui::set_program_title(viewer::k_program_name);
    picture::init_picture_layer();

    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect work_area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    viewer::ViewerStart start =
        viewer::start_viewer(QApplication::arguments().mid(1), QDir::currentPath(), work_area);
    if (!start.window)
        return start.exit_code;
    start.window->show();
    return app.exec();
}
