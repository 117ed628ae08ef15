// Construction and layout of the main window's controls.
#include "catalogue/frm_browser.h"

#include "platform/richtext/rich_text_box.h"
#include "platform/ui/label_button.h"
#include "platform/ui/plain_text_box.h"
#include "platform/ui/status_panel.h"
#include "platform/ui/vb.h"
#include "platform/ui/widgets.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTextEdit>
#include <QVBoxLayout>

namespace mosswick {

void frmBrowser::build_menus()
{
    QMenuBar* bar = menuBar();
    mnuFile = bar->addMenu(QStringLiteral("&File"));
    mnuDbRnm = mnuFile->addAction(QStringLiteral("&Renumber pages"));
    mnuDbRnm->setCheckable(true);
    mnuFile->addSeparator();
    mnuFileExit = mnuFile->addAction(QStringLiteral("&Exit"));

    mnuDb = bar->addAction(QStringLiteral("&Open DB"));
    mnuRefresh = bar->addAction(QStringLiteral("&Refresh"));

    mnuThumbnailQuality = bar->addMenu(QStringLiteral("&Thumbnail quality"));
    mnuZoomQuality = bar->addMenu(QStringLiteral("&Zoom quality"));
    auto* tq_group = new QActionGroup(this);
    auto* zq_group = new QActionGroup(this);
    for (int code = 1; code <= 6; ++code) {
        mnuTQ[size_t(code)] = mnuThumbnailQuality->addAction(m_session.edition().texts.thumb_quality_items[size_t(code)]);
        mnuTQ[size_t(code)]->setCheckable(true);
        tq_group->addAction(mnuTQ[size_t(code)]);
        mnuZQ[size_t(code)] = mnuZoomQuality->addAction(m_session.edition().texts.zoom_quality_items[size_t(code)]);
        mnuZQ[size_t(code)]->setCheckable(true);
        zq_group->addAction(mnuZQ[size_t(code)]);
    }
    mnuTQ[6]->setChecked(true);
    mnuZQ[5]->setChecked(true);

    mnuHelp = bar->addMenu(QStringLiteral("&Help"));
    mnuAbout = mnuHelp->addAction(QStringLiteral("&About"));

    // Actions that open, close or change the catalogue wait while busy.
    for (QAction* a : {mnuDb, mnuRefresh, mnuDbRnm, mnuFileExit})
        m_session.busy().add_guarded_action(a);
}

void frmBrowser::name_controls()
{
    ui::name_control(mnuFile, "mnuFile");
    ui::name_control(mnuDbRnm, "mnuDbRnm");
    ui::name_control(mnuFileExit, "mnuFileExit");
    ui::name_control(mnuDb, "mnuDb");
    ui::name_control(mnuRefresh, "mnuRefresh");
    ui::name_control(mnuThumbnailQuality, "mnuThumbnailQuality");
    ui::name_controls(mnuTQ, "mnuTQ");
    ui::name_control(mnuZoomQuality, "mnuZoomQuality");
    ui::name_controls(mnuZQ, "mnuZQ");
    ui::name_control(mnuHelp, "mnuHelp");
    ui::name_control(mnuAbout, "mnuAbout");
    ui::name_control(SSTab_main, "SSTab_main");
    ui::name_control(Text2, "Text2");
    ui::name_control(Label27, "Label27");
    ui::name_control(Command3, "Command3");
}

void frmBrowser::build_status_bar()
{
    m_status = new StatusLine(statusBar());
    m_session.set_status(m_status);
}



} // namespace mosswick
