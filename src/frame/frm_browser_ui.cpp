// The frame's own controls: the menus and the counters beside the tabs.
#include "frame/frm_browser.h"

#include "platform/ui/widgets.h"

#include <QAction>
#include <QActionGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>

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

    // Actions that open, close or change the catalogue wait while busy;
    // Exit answers why it must wait.
    for (QAction* a : {mnuDb, mnuRefresh, mnuDbRnm})
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

void frmBrowser::build_counters(QGridLayout* layout)
{
    // Counts and the exit button share the tabs' row, over the tab control
    // rather than inside it: the exit button stays usable while the tabs are
    // disabled under a search or a pass.
    auto* info = new QWidget(layout->parentWidget());
    auto* il = new QHBoxLayout(info);
    il->setContentsMargins(0, 0, 0, 0);
    il->addWidget(new QLabel(QStringLiteral("Records:"), info));
    Label27 = new QLabel(info);
    Label27->setMinimumWidth(60);
    il->addWidget(Label27);
    il->addWidget(new QLabel(QStringLiteral("File size (bytes):"), info));
    Text2 = new QLabel(info);
    Text2->setMinimumWidth(100);
    il->addWidget(Text2);
    Command3 = new QPushButton(QStringLiteral("Exit"), info);
    Command3->setToolTip(QStringLiteral("Exit"));
    il->addWidget(Command3);
    layout->addWidget(info, 0, 0, Qt::AlignTop | Qt::AlignRight);
}

} // namespace mosswick
