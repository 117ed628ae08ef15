// Construction of the Loader tab's own controls: the lists and the single load.
#include "loader/loader_tab.h"

#include "core/name_rules.h"
#include "loader/list_boxes.h"
#include "platform/richtext/rich_text_box.h"
#include "platform/ui/label_button.h"
#include "platform/ui/plain_text_box.h"
#include "platform/ui/vb.h"
#include "platform/ui/widgets.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace mosswick {

namespace {

// A coloured panel around a label button: the button's pressed look lights it.
QLabel* panel(unsigned bgr_color, QWidget* parent)
{
    auto* l = new QLabel(parent);
    l->setAutoFillBackground(true);
    QPalette p = l->palette();
    p.setColor(QPalette::Window, ui::bgr(bgr_color));
    l->setPalette(p);
    auto* box = new QHBoxLayout(l);
    box->setContentsMargins(3, 3, 3, 3);
    return l;
}

} // namespace

LoaderTab::LoaderTab(CatalogueSession& session, const PasteRules& others, QWidget* parent)
    : WindowPart(session, parent), m_others(others)
{
    auto* h = new QHBoxLayout(this);
    h->addWidget(build_lists());

    SSTab_mgm = new QTabWidget(this);
    SSTab4 = new QTabWidget;
    SSTab4->addTab(build_single_load_page(), QStringLiteral("Picture"));
    SSTab_mgm->addTab(SSTab4, QStringLiteral("Database && loading"));
    h->addWidget(SSTab_mgm, 1);
    name_controls();
    connect_handlers();
}

void LoaderTab::host_pages(QWidget* database_page, QWidget* import_export_page, QWidget* management_page)
{
    m_import_export_page = import_export_page;
    SSTab4->insertTab(0, database_page, QStringLiteral("Database"));
    if (import_export_page)
        SSTab4->addTab(import_export_page, QStringLiteral("Import / Export"));
    SSTab_mgm->addTab(management_page, QStringLiteral("Management"));
    SSTab4->setCurrentIndex(0);
}

// The drive, folder and file lists with their options and buttons.
QWidget* LoaderTab::build_lists()
{
    const Edition::Features& features = m_session.edition().features;
    auto* lists = new QVBoxLayout;
    lists->addWidget(new QLabel(QStringLiteral("Drive & path"), this));
    Drv_ImportDrive = new DriveListBox(this);
    lists->addWidget(Drv_ImportDrive);
    Dir_ImportDir = new DirListBox(this);
    Dir_ImportDir->setToolTip(QStringLiteral("Double click to select"));
    lists->addWidget(Dir_ImportDir, 2);

    auto* pictures = new QGroupBox(QStringLiteral("Pictures"), this);
    auto* pv = new QVBoxLayout(pictures);
    Fil_ImportFile = new FileListBox(pictures);
    Fil_ImportFile->set_pattern(QString::fromLatin1(files::k_picture_pattern));
    Fil_ImportFile->setToolTip(QStringLiteral("Double click to select"));
    pv->addWidget(Fil_ImportFile, 1);
    // Without stored pictures every picture is loaded as a file ("OUT").
    if (features.stored_pictures) {
        auto* o4 = new QHBoxLayout;
        Option4[0] = new QRadioButton(QStringLiteral("IN"), pictures);
        Option4[1] = new QRadioButton(QStringLiteral("OUT"), pictures);
        Option4[1]->setChecked(true);
        o4->addWidget(Option4[0]);
        o4->addWidget(Option4[1]);
        pv->addLayout(o4);
    }
    lists->addWidget(pictures, 3);

    auto* all = new QGroupBox(QStringLiteral("All the files"), this);
    all->setToolTip(QStringLiteral("Only for TXT or RTF."));
    auto* av = new QVBoxLayout(all);
    File_movies = new FileListBox(all);
    File_movies->setToolTip(QStringLiteral("Double click to select"));
    av->addWidget(File_movies, 1);
    auto* fl = new QHBoxLayout;
    OptionFL[0] = new QRadioButton(QStringLiteral("IN"), all);
    OptionFL[0]->setToolTip(QStringLiteral("Only for TXT or RTF. Put all the files in a 'temporary' directory."));
    OptionFL[1] = new QRadioButton(QStringLiteral("OUT"), all);
    OptionFL[1]->setChecked(true);
    fl->addWidget(OptionFL[0]);
    fl->addWidget(OptionFL[1]);
    av->addLayout(fl);
    // A note file can only go into the note when there is no other field.
    if (features.extra_note_fields) {
        auto* frame8 = new QGroupBox(QStringLiteral("TXT or RTF Load"), all);
        frame8->setToolTip(QStringLiteral("Only for TXT or RTF."));
        auto* f8 = new QHBoxLayout(frame8);
        OptionF1[0] = new QRadioButton(QStringLiteral("IN Note"), frame8);
        OptionF1[1] = new QRadioButton(QStringLiteral("IN Add.Note"), frame8);
        OptionF1[2] = new QRadioButton(QStringLiteral("IN Reference"), frame8);
        OptionF1[0]->setToolTip(QStringLiteral("Only for TXT or RTF."));
        OptionF1[1]->setToolTip(QStringLiteral("Only for TXT or RTF."));
        OptionF1[2]->setToolTip(QStringLiteral("TXT in Reference."));
        OptionF1[0]->setChecked(true);
        for (QRadioButton* r : OptionF1) {
            r->setEnabled(false);
            f8->addWidget(r);
        }
        av->addWidget(frame8);
    }
    lists->addWidget(all, 3);

    // Without the note import the update pass only relinks movies ("OUT").
    if (features.update_note_import) {
        auto* files = new QGroupBox(QStringLiteral("Files"), this);
        files->setToolTip(QStringLiteral("Only for TXT or RTF."));
        auto* fv = new QHBoxLayout(files);
        OptionFL2[0] = new QRadioButton(QStringLiteral("IN"), files);
        OptionFL2[0]->setToolTip(QStringLiteral("Only for TXT. Put all the files in the database directory."));
        OptionFL2[1] = new QRadioButton(QStringLiteral("OUT"), files);
        OptionFL2[1]->setToolTip(QStringLiteral("Put all the files in the 'data' directory."));
        OptionFL2[1]->setChecked(true);
        fv->addWidget(OptionFL2[0]);
        fv->addWidget(OptionFL2[1]);
        auto* txt = new QGroupBox(QStringLiteral("TXT Update"), files);
        txt->setToolTip(QStringLiteral("Only for TXT."));
        auto* tv = new QHBoxLayout(txt);
        OptionF12[0] = new QRadioButton(QStringLiteral("IN Note"), txt);
        OptionF12[1] = new QRadioButton(QStringLiteral("IN Add.Note"), txt);
        OptionF12[2] = new QRadioButton(QStringLiteral("IN Reference"), txt);
        OptionF12[0]->setChecked(true);
        for (QRadioButton* r : OptionF12) {
            r->setToolTip(QStringLiteral("Only for TXT."));
            r->setEnabled(false);
            tv->addWidget(r);
        }
        fv->addWidget(txt);
        lists->addWidget(files);
    }

    auto* buttons = new QHBoxLayout;
    refresh_pictures = ui::make_button(QStringLiteral("Refresh"), QStringLiteral("Refresh 'Drive & Path' / 'Pictures' / 'All the files' list boxes"), this);
    load_pictures = ui::make_button(QStringLiteral("Load pictures"), {}, this);
    update_pictures = ui::make_button(QStringLiteral("Update pictures"), {}, this);
    buttons->addWidget(refresh_pictures);
    buttons->addWidget(load_pictures);
    buttons->addWidget(update_pictures);
    lists->addLayout(buttons);

    auto* left = new QWidget(this);
    left->setLayout(lists);
    left->setMaximumWidth(460);
    return left;
}

void LoaderTab::name_controls()
{
    ui::name_control(Drv_ImportDrive, "Drv_ImportDrive");
    ui::name_control(Dir_ImportDir, "Dir_ImportDir");
    ui::name_control(Fil_ImportFile, "Fil_ImportFile");
    ui::name_control(File_movies, "File_movies");
    ui::name_control(refresh_pictures, "refresh_pictures");
    ui::name_control(load_pictures, "load_pictures");
    ui::name_control(update_pictures, "update_pictures");
    ui::name_controls(Option4, "Option4");
    ui::name_controls(OptionFL, "OptionFL");
    ui::name_controls(OptionF1, "OptionF1");
    ui::name_controls(OptionFL2, "OptionFL2");
    ui::name_controls(OptionF12, "OptionF12");
    ui::name_control(SSTab_mgm, "SSTab_mgm");
    ui::name_control(SSTab4, "SSTab4");
    ui::name_control(text7, "text7");
    ui::name_control(Lbl_db, "Lbl_db");
    ui::name_control(Label31, "Label31");
    ui::name_control(Img_ImportImage, "Img_ImportImage");
    ui::name_control(clear_note, "clear_note");
    ui::name_control(cmd_OK, "cmd_OK");
    ui::name_control(cancel_load_picture, "cancel_load_picture");
    ui::name_control(Label13, "Label13");
    ui::name_control(Label12_5, "Label12_5");
    ui::name_control(Label28_15, "Label28_15");
    ui::name_control(Label28_23, "Label28_23");
    ui::name_control(Label28_24, "Label28_24");
    ui::name_control(Label28_36, "Label28_36");
    ui::name_control(Label28_37, "Label28_37");
    ui::name_control(SSTab2, "SSTab2");
    ui::name_control(Txt_Notes, "Txt_Notes");
    ui::name_control(lbl_load_picture, "lbl_load_picture");
    ui::name_control(text23, "text23");
    ui::name_control(Text27, "Text27");
    ui::name_control(SSTab5, "SSTab5");
    ui::name_controls(Option2, "Option2");
    ui::name_controls(Option3, "Option3");
    ui::name_controls(note_size, "note_size");
}


QWidget* LoaderTab::build_single_load_page()
{
    const bool extra_fields = m_session.edition().features.extra_note_fields;
    auto* page = new QWidget;
    auto* g = new QGridLayout(page);
    text7 = new QLabel(page);
    text7->setToolTip(QStringLiteral("Picture file name"));
    Lbl_db = new QLabel(page);
    Lbl_db->setToolTip(QStringLiteral("Movie file name"));
    Label31 = new QLabel(page);
    Label31->setToolTip(QStringLiteral("Movie file type"));
    Img_ImportImage = new QLabel(page);
    Img_ImportImage->setFixedSize(ui::twips_to_px(4635), ui::twips_to_px(2775));
    Img_ImportImage->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Img_ImportImage->hide();
    auto* preview = new QWidget(page);
    preview->setFixedSize(Img_ImportImage->size());
    Img_ImportImage->setParent(preview);
    g->addWidget(text7, 0, 0, 1, 2);
    g->addWidget(Lbl_db, 1, 0);
    g->addWidget(Label31, 1, 1);
    g->addWidget(preview, 2, 0, 1, 2);

    SSTab2 = new QTabWidget(page);
    auto* nt = new QWidget;
    auto* ntv = new QVBoxLayout(nt);
    Txt_Notes = new richtext::RichTextBox(nt);
    lbl_load_picture = new QLabel(nt);
    ntv->addWidget(Txt_Notes);
    ntv->addWidget(lbl_load_picture);
    SSTab2->addTab(nt, QStringLiteral("Nt"));
    if (extra_fields) {
        auto* adnt = new QWidget;
        auto* av = new QVBoxLayout(adnt);
        text23 = new ui::PlainTextBox(adnt);
        text23->setMaxLength(255);
        text23->setToolTip(QStringLiteral("Reference"));
        text23->setMinimumHeight(text23->fontMetrics().lineSpacing() * 2 + 10);
        text23->setMaximumHeight(text23->fontMetrics().lineSpacing() * 4 + 12);
        Text27 = new richtext::RichTextBox(adnt);
        av->addWidget(text23);
        av->addWidget(Text27);
        SSTab2->addTab(adnt, QStringLiteral("AdNt"));
    } else {
        // One note box and nothing to switch to.
        SSTab2->tabBar()->hide();
    }
    g->addWidget(SSTab2, 3, 0, 1, 2);

    auto* paste = new QHBoxLayout;
    Label28_36 = panel(m_session.edition().colours.loader_paste_frame, page);
    Label28_37 = panel(m_session.edition().colours.loader_paste_frame, page);
    Label13 = new ui::LabelButton(QStringLiteral("Paste Text"), Label28_36);
    Label12_5 = new ui::LabelButton(QStringLiteral("Paste RTF"), Label28_37);
    for (ui::LabelButton* b : {Label13, Label12_5})
        b->set_colors(ui::bgr(0xE0E0E0), ui::bgr(0xC0C0C0));
    Label28_36->layout()->addWidget(Label13);
    Label28_37->layout()->addWidget(Label12_5);
    clear_note = ui::make_button(QStringLiteral("Clear note"), QStringLiteral("Clear the above note field box"), page);
    paste->addWidget(Label28_36);
    paste->addWidget(Label28_37);
    paste->addWidget(clear_note);
    g->addLayout(paste, 4, 0, 1, 2);

    SSTab5 = new QTabWidget(page);
    auto* load_type = new QWidget;
    auto* lt = new QGridLayout(load_type);
    if (m_session.edition().features.stored_pictures) {
        auto* in_out = new QGroupBox(load_type);
        auto* io = new QVBoxLayout(in_out);
        Option2[0] = new QRadioButton(QStringLiteral("Load IN"), in_out);
        Option2[0]->setToolTip(QStringLiteral("IN=Picture loaded within the db"));
        Option2[1] = new QRadioButton(QStringLiteral("Load OUT"), in_out);
        Option2[1]->setChecked(true);
        io->addWidget(Option2[0]);
        io->addWidget(Option2[1]);
        lt->addWidget(in_out, 0, 0);
    }
    auto* rtf = new QGroupBox(load_type);
    auto* rt = new QVBoxLayout(rtf);
    Option3[0] = new QRadioButton(QStringLiteral("RTF Load"), rtf);
    Option3[0]->setToolTip(QStringLiteral("To load note and additional note with RTF"));
    Option3[1] = new QRadioButton(QStringLiteral("Text Load"), rtf);
    Option3[1]->setToolTip(QStringLiteral("To load note and additional note without RTF"));
    Option3[1]->setChecked(true);
    rt->addWidget(Option3[0]);
    rt->addWidget(Option3[1]);
    lt->addWidget(rtf, 0, 1);
    SSTab5->addTab(load_type, QStringLiteral("Load Type"));
    auto* sizes = new QWidget;
    auto* sl = new QGridLayout(sizes);
    const char* heads[] = {"Note size", "Ref size", "Add size"};
    const int order[] = {1, 2, 0};   // the boxes under the three headings
    QLabel** panels[] = {&Label28_23, &Label28_24, &Label28_15};
    // Without the reference and the additional note, only the note's length.
    const int kinds = extra_fields ? 3 : 1;
    for (int k = 0; k < kinds; ++k) {
        sl->addWidget(new QLabel(QString::fromLatin1(heads[k]), sizes), 0, k);
        *panels[k] = panel(0xC0FFC0, sizes);
        auto* box = new ui::LabelButton({}, *panels[k]);
        box->setToolTip(QStringLiteral("Click to show the length of the note field box in bytes"));
        box->setMinimumWidth(60);
        (*panels[k])->layout()->addWidget(box);
        note_size[size_t(order[k])] = box;
        sl->addWidget(*panels[k], 1, k);
    }
    SSTab5->addTab(sizes, QStringLiteral("Note size"));
    g->addWidget(SSTab5, 5, 0, 1, 2);

    auto* buttons = new QHBoxLayout;
    cmd_OK = ui::make_button(QStringLiteral("Load picture"), {}, page);
    cancel_load_picture = ui::make_button(QStringLiteral("Cancel"), {}, page);
    buttons->addWidget(cmd_OK);
    buttons->addWidget(cancel_load_picture);
    g->addLayout(buttons, 6, 0, 1, 2);
    g->setRowStretch(3, 1);
    return page;
}

} // namespace mosswick
