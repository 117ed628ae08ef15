// The loader's start-up: the lists show a first folder.
#include "catalogue/frm_browser.h"

#include "loader/list_boxes.h"

#include <QDir>

namespace mosswick {

void frmBrowser::loader_Form_Load()
{
    const QString start = QDir::homePath();
    Drv_ImportDrive->set_drive(QStringLiteral("/"));
    Dir_ImportDir->set_path(start);
    Fil_ImportFile->set_path(start);
    File_movies->set_path(start);
}

} // namespace mosswick
