// Cell selection, movies, zoom requests, the keypad and the quality menus.
#include "catalogue/catalogue_logic.h"
#include "catalogue/frm_browser.h"
#include "pageview/frm_zoom.h"
#include "pageview/movie_check.h"
#include "pageview/page_logic.h"

#include "platform/richtext/rich_text_box.h"
#include "platform/ui/key_rules.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/label_button.h"
#include "platform/ui/vb.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QUrl>

namespace mosswick {

namespace {
constexpr unsigned k_grey = 0xE0E0E0;
constexpr unsigned k_white = 0xFFFFFF;

bool is_grey(const richtext::RichTextBox* box)
{
    return ui::to_bgr(box->back_color()) == k_grey;
}
} // namespace

void frmBrowser::connect_page_view_handlers()
{
    if (!open_external)
        open_external = [](const QString& path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); };
    connect(bof, &QPushButton::clicked, this, &frmBrowser::bof_Click);
    connect(eof, &QPushButton::clicked, this, &frmBrowser::eof_Click);
    connect(go_left, &QPushButton::clicked, this, &frmBrowser::go_left_Click);
    connect(go_right, &QPushButton::clicked, this, &frmBrowser::go_right_Click);
    connect(show_page, &QPushButton::clicked, this, &frmBrowser::show_page_Click);
    // The slider's scroll is the user's move only.
    // actionTriggered comes before the value moves: scroll once it has.
    connect(Slider1, &QSlider::actionTriggered, this, [this](int) {
        QMetaObject::invokeMethod(this, &frmBrowser::Slider1_Scroll, Qt::QueuedConnection);
    });
    for (int code = 1; code <= 6; ++code) {
        connect(mnuTQ[size_t(code)], &QAction::triggered, this, [this, code] { mnuTQ_Click(code); });
        connect(mnuZQ[size_t(code)], &QAction::triggered, this, [this, code] { mnuZQ_Click(code); });
    }
    for (int i = 1; i <= 6; ++i) {
        connect(Label7[size_t(i)], &ui::LabelButton::clicked, this, [this, i] { Label7_Click(i); });
        connect(lbl_fileName[size_t(i)], &ui::LabelButton::clicked, this, [this, i] { lbl_fileName_Click(i); });
    }
    // A page number pasted into the page box meets the rule typing meets.
    ui::refuse_pastes(Label3, [](QChar c) { return c >= u'0' && c <= u'9'; },
                      [this] { set_message(QStringLiteral("Characters supported 0 1 2 3 4 5 6 7 8 9")); });
    // Mouse and key events of the cells, the page box and the slider reach
    // page_view_event through the window's application-wide event filter.
}

bool frmBrowser::page_view_event(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick && type != QEvent::KeyPress)
        return false;
    if (type == QEvent::KeyPress) {
        const std::optional<int> typed = ui::typed_code(*static_cast<QKeyEvent*>(event));
        if (!typed)
            return false;
        int code = *typed;
        if (watched == Label3) {
            Label3_KeyPress(code);
            return code == 0 || code == 13;
        }
        if (watched == Slider1) {
            if (code == 13) {
                Slider1_KeyPress(code);
                return true;
            }
            return false;
        }
        // The keypad works only where the key was typed into the tab control
        // or a thumbnail; a key that another control ignores and hands up to
        // its parents is an ordinary character.
        if (watched != QApplication::focusWidget())
            return false;
        if (watched == SSTab_main || watched == SSTab_main->tabBar()) {
            SSTab_main_KeyPress(code);
            return code == 0;
        }
        for (int i = 1; i <= 6; ++i)
            if (watched == im[size_t(i)] || watched == Im2[size_t(i)]) {
                // The thumbnail hands a copy on; the key itself goes on too.
                im_KeyPress(i, code);
                return false;
            }
        return false;
    }
    for (int i = 1; i <= 6; ++i) {
        const bool picture = watched == im[size_t(i)] || watched == Im2[size_t(i)];
        const bool note = watched == lbl_note[size_t(i)]->viewport();
        const bool addnote = watched == Text18[size_t(i)]->viewport();
        if (!picture && !note && !addnote)
            continue;
        if (type == QEvent::MouseButtonPress)
            im_Click(i);
        else if (picture)
            im_DblClick(i);
        else if (note)
            lbl_Note_DblClick(i);
        else
            Text18_DblClick(i);
        return false;
    }
    return false;
}

void frmBrowser::im_Click(int index)
{
    if (index < 1 || index > 6)
        return;
    ui::BusyLock lock(m_session.busy());
    current_picture_path = m_session.data_folder + lbl_filePic[size_t(index)]->text();
    set_message(lbl_filePic[size_t(index)]->text());
    if (last_selected_cell >= 1 && last_selected_cell <= 6) {
        lbl_note[size_t(last_selected_cell)]->set_back_color(ui::bgr(k_grey));
        Text18[size_t(last_selected_cell)]->set_back_color(ui::bgr(k_grey));
    }
    lbl_note[size_t(index)]->set_back_color(ui::bgr(k_white));
    Text18[size_t(index)]->set_back_color(ui::bgr(k_white));
    last_selected_cell = index;
    selected_cell = index;
}

frmZoom* frmBrowser::open_zoom(const ZoomRequest& request)
{
    auto* zoom = new frmZoom(request, zoom_work_area);
    last_zoom = zoom;
    zoom->show();
    return zoom;
}

void frmBrowser::im_DblClick(int index)
{
    if (index < 1 || index > 6 || !m_session.db_conn)
        return;
    ui::BusyLock lock(m_session.busy());
    im_Click(index);
    ZoomRequest request = ZoomRequest::file(current_picture_path, m_session.zoom_quality);
    if (!m_session.edition().features.stored_pictures) {
        // Every picture is a file of the data folder: the zoom window draws
        // the path it is given, or says the file is gone and closes.
        lock.release();
        open_zoom(request);
        return;
    }
    const std::optional<qint64> numpic = parse_number(Label5[size_t(index)]->text());
    if (!numpic)
        return;
    store::Error error;
    const std::optional<store::Row> row = m_session.db_conn->find_row(*numpic, error);
    if (error || !row) {
        set_message(error ? ui::error_message(error.code, error.text)
                          : QStringLiteral("The picture %1 is not in the catalogue: refresh the page.").arg(*numpic));
        return;
    }
    // A page older than the catalogue (after an exchange, a delete ...) must
    // not show another picture under the name the cell shows.
    if (row->value(store::col_picfile).toString() != lbl_filePic[size_t(index)]->text()) {
        set_message(QStringLiteral("The picture %1 has changed in the catalogue: refresh the page.").arg(*numpic));
        return;
    }
    if (store::picture_stored_inside(row->value(store::col_inoutpic))) {
        request.picture_in_db = true;
        request.bytes = m_session.db_conn->read_picture_bytes(*numpic, error);
        if (error) {
            set_message(ui::error_message(error.code, error.text));
            return;
        }
    } else {
        const QString path = m_session.data_folder + row->value(store::col_picfile).toString();
        if (!QFileInfo(path).isFile()) {
            ui::dialogs().message(this, QStringLiteral("Picture file not found."), QStringLiteral("Error"),
                                  ui::MessageIcon::None, ui::MessageButtons::Ok);
            return;
        }
        request.file_path = path;
    }
    lock.release();
    open_zoom(request);
}

void frmBrowser::im_KeyPress(int, int key_ascii)
{
    int copy = key_ascii;
    SSTab_main_KeyPress(copy);
}

void frmBrowser::Label7_Click(int index)
{
    ui::BusyLock lock(m_session.busy());
    im_Click(index);
    lock.release();
    im_DblClick(index);
}

void frmBrowser::lbl_fileName_Click(int index)
{
    if (index < 1 || index > 6)
        return;
    ui::BusyLock lock(m_session.busy());
    if (lbl_fileName[size_t(index)]->text().isEmpty())
        return;
    im_Click(index);
    // The movie is the stored movie file in the data folder, and only a
    // plain movie file there: nothing else is handed to the desktop.
    const QString movfile = cell_movfile[size_t(index)];
    const MovieCheck check = check_movie(m_session.data_folder, movfile);
    movie_path = check.path;
    if (!check.ok()) {
        set_message(movie_refusal(check, movfile));
        return;
    }
    if (!open_external || !open_external(movie_path))
        set_message(ui::error_message(store::k_err_path_file_access,
                                      QStringLiteral("No program could open %1").arg(movie_path)));
}

int frmBrowser::WhichSelected() const
{
    for (int i = 1; i <= 6; ++i)
        if (!is_grey(lbl_note[size_t(i)]) || !is_grey(Text18[size_t(i)]))
            return i;
    return 0;
}

void frmBrowser::ClearBorder(int which_pic)
{
    const int cell = which_pic != 0 ? which_pic : WhichSelected();
    if (cell < 1 || cell > 6)
        return;
    lbl_note[size_t(cell)]->set_back_color(ui::bgr(k_grey));
    Text18[size_t(cell)]->set_back_color(ui::bgr(k_grey));
}

void frmBrowser::SSTab_main_KeyPress(int& key_ascii)
{
    if (key_ascii <= 0 || key_ascii > 127)
        return;
    auto shows_picture = [this](int cell) {
        return cell >= 1 && cell <= 6 && (im[size_t(cell)]->isEnabled() || Im2[size_t(cell)]->isEnabled());
    };
    const KeypadResult r = keypad(char(key_ascii), go_left->isEnabled(), go_right->isEnabled(), selected_cell,
                                  cells_on_page, shows_picture);
    if (!r.consumed)
        return;
    const char key = char(key_ascii);
    key_ascii = 0;
    if (r.set_note_cell)
        note_cell_index = r.selected_cell;
    // "7" and "8" move the selection even onto a cell without a picture.
    if (key == '7' || key == '8')
        selected_cell = r.selected_cell;
    switch (r.action) {
    case KeypadAction::PreviousPage: go_left_Click(); break;
    case KeypadAction::NextPage: go_right_Click(); break;
    case KeypadAction::FirstPage:
        {
            const QSignalBlocker block(Slider1);
            Slider1->setValue(Slider1->minimum());
        }
        Label3->setText(QString::number(Slider1->value()));
        show_page_Click();
        break;
    case KeypadAction::LastPage:
        {
            const QSignalBlocker block(Slider1);
            Slider1->setValue(int(std::min<qint64>(parse_number(Label29->text()).value_or(1), Slider1->maximum())));
        }
        Label3->setText(QString::number(Slider1->value()));
        show_page_Click();
        break;
    case KeypadAction::Movie: lbl_fileName_Click(r.selected_cell); break;
    case KeypadAction::Zoom: im_DblClick(r.selected_cell); break;
    case KeypadAction::EditNote: mnuEditNote(); break;
    case KeypadAction::ShowNote: mnuShowNote(); break;
    case KeypadAction::Select: im_Click(r.selected_cell); break;
    case KeypadAction::None:
        break;
    }
}

void frmBrowser::mnuTQ_Click(int code)
{
    if (code < 1 || code > 6)
        return;
    for (int c = 1; c <= 6; ++c)
        mnuTQ[size_t(c)]->setChecked(c == code);
    m_session.thumb_quality = code;
}

void frmBrowser::mnuZQ_Click(int code)
{
    if (code < 1 || code > 6)
        return;
    for (int c = 1; c <= 6; ++c)
        mnuZQ[size_t(c)]->setChecked(c == code);
    m_session.zoom_quality = code;
}

void frmBrowser::ProgressBar1_Click()
{
    m_session.stop_requested = true;
}

} // namespace mosswick
