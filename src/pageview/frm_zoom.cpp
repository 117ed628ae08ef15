#include "pageview/frm_zoom.h"

#include "core/fit_to_box.h"
#include "pageview/page_logic.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/vb.h"
#include "platform/ui/widgets.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTimer>

#include <cmath>

namespace mosswick {

namespace {

QRect px_rect(double left, double top, double width, double height)
{
    return QRect(ui::twips_to_px(left), ui::twips_to_px(top), ui::twips_to_px(width), ui::twips_to_px(height));
}

QLabel* panel(QWidget* parent)
{
    auto* l = new QLabel(parent);
    l->setAutoFillBackground(true);
    QPalette p = l->palette();
    p.setColor(QPalette::Window, ui::bgr(0xC0FFC0));
    l->setPalette(p);
    return l;
}

} // namespace

frmZoom::frmZoom(ZoomRequest request, QRect work_area, QWidget* parent)
    : QWidget(parent, Qt::Window), m_request(std::move(request)), m_work_area(work_area)
{
    setObjectName(QStringLiteral("frmZoom"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Mosswick"));
    if (m_work_area.isEmpty()) {
        if (QScreen* s = QGuiApplication::primaryScreen())
            m_work_area = s->availableGeometry();
        else
            m_work_area = QRect(0, 0, 1024, 768);
    }

    pic_zoom = new QLabel(this);
    pic_zoom_image = new QLabel(this);
    // Drawn at exactly its display size: a label scaling it again would keep
    // two more copies and soften the quality code's drawing.
    pic_zoom_image->setToolTip(QStringLiteral("Click, or ESC,  to close the windows"));
    for (QLabel* l : {pic_zoom, pic_zoom_image}) {
        l->setGeometry(px_rect(0, 0, k_zoom_picture_width, k_zoom_picture_height));
        l->installEventFilter(this);
    }
    Label28_1 = panel(this);
    Label28_2 = panel(this);
    bof = new QPushButton(QStringLiteral("<<"), this);
    bof->setToolTip(QStringLiteral("Zoom to the minimum dimension"));
    eof = new QPushButton(QStringLiteral(">>"), this);
    eof->setToolTip(QStringLiteral("Zoom to the maximum dimension"));
    Slider1 = new QSlider(Qt::Horizontal, this);
    Slider1->setRange(-100, 100);
    Slider1->setPageStep(10);
    Slider1->installEventFilter(this);
    Label1 = new QLabel(m_request.file_path, this);
    Label2 = new QLabel(QString::number(m_request.quality), this);
    Label1->hide();
    Label2->hide();
    ui::name_control(pic_zoom, "pic_zoom");
    ui::name_control(pic_zoom_image, "pic_zoom_image");
    ui::name_control(Label28_1, "Label28_1");
    ui::name_control(Label28_2, "Label28_2");
    ui::name_control(bof, "bof");
    ui::name_control(eof, "eof");
    ui::name_control(Slider1, "Slider1");
    ui::name_control(Label1, "Label1");
    ui::name_control(Label2, "Label2");
    connect(bof, &QPushButton::clicked, this, &frmZoom::bof_Click);
    connect(eof, &QPushButton::clicked, this, &frmZoom::eof_Click);
    // A mouse release on the slider is its click; keys only move the thumb.
    connect(Slider1, &QSlider::sliderReleased, this, &frmZoom::Slider1_Click);

    move(0, 0);
    resize(ui::twips_to_px(k_zoom_client_width), ui::twips_to_px(k_zoom_client_height));
    place_controls(k_zoom_slider_width, k_zoom_slider_top, k_zoom_slider_width + k_zoom_left_panel_width);
}

void frmZoom::place_controls(double slider_width, double slider_top, double right_panel_left)
{
    Slider1->setGeometry(px_rect(k_zoom_slider_left, slider_top, slider_width, k_zoom_slider_height));
    Label28_1->setGeometry(px_rect(0, slider_top, k_zoom_left_panel_width, k_zoom_slider_height));
    Label28_2->setGeometry(px_rect(right_panel_left, slider_top, k_zoom_right_panel_width, k_zoom_slider_height));
    bof->setGeometry(px_rect((k_zoom_left_panel_width - 555) / 2.0, slider_top, 555, k_zoom_slider_height));
    eof->setGeometry(px_rect(right_panel_left + (k_zoom_right_panel_width - 585) / 2.0, slider_top, 585,
                             k_zoom_slider_height));
}

void frmZoom::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_first_draw)
        start_loading();
}

void frmZoom::fail(const QString& message)
{
    // Only this window goes; the program and the other windows stay.
    m_failed = true;
    ui::dialogs().message(this, message, QStringLiteral("Error"), ui::MessageIcon::None, ui::MessageButtons::Ok);
    QTimer::singleShot(0, this, &QWidget::close);
}

bool frmZoom::picture_file_gone()
{
    // A file deleted since the window opened ends this window only.
    if (m_request.picture_in_db || QFileInfo(m_request.file_path).isFile())
        return false;
    fail(QStringLiteral("Picture file not found."));
    return true;
}

frmZoom::FreeArea frmZoom::free_area() const
{
    // The work area less the window's borders and the slider row.
    const QRect frame = frameGeometry();
    const QRect inner = geometry();
    const double border_w = ui::px_to_twips(std::max(0, frame.width() - inner.width()));
    const double border_h = ui::px_to_twips(std::max(0, frame.height() - inner.height()));
    return {ui::px_to_twips(m_work_area.width()) - border_w,
            ui::px_to_twips(m_work_area.height()) - k_zoom_slider_height - border_h};
}

void frmZoom::start_loading()
{
    if (m_loader || m_failed || picture_file_gone())
        return;
    // No drawing can be larger than the free area, so nothing larger is kept.
    const FreeArea area = free_area();
    const QSize bound = picture::device_pixels(
        QSize(ui::twips_to_px(area.width), ui::twips_to_px(area.height)), devicePixelRatioF());
    using picture::ZoomPicture;
    QFuture<ZoomPicture> future;
    if (!m_request.picture_in_db)
        future = ZoomPicture::load_later(picture::PictureSource::file(m_request.file_path), bound, m_request.quality);
    else if (m_request.image.isNull())
        future = ZoomPicture::load_later(picture::PictureSource::bytes(m_request.bytes), bound, 5);
    else
        future = ZoomPicture::load_later(m_request.image, bound, 5);
    m_loader = new QFutureWatcher<ZoomPicture>(this);
    connect(m_loader, &QFutureWatcherBase::finished, this, &frmZoom::loading_finished);
    m_loader->setFuture(future);
    // The slider waits for the picture; a click or Esc still closes.
    for (QWidget* w : std::initializer_list<QWidget*>{Slider1, bof, eof})
        w->setEnabled(false);
    setWindowTitle(m_request.caption_path);
}

void frmZoom::loading_finished()
{
    m_picture = m_loader->result();
    m_loaded = true;
    Slider1->setEnabled(true);
    if (!m_picture.ok())
        fail(picture::status_text(m_picture.status()));
    else
        Slider1_Click();
    emit picture_loaded();
}

QImage frmZoom::drawn() const
{
    const QLabel* box = m_request.picture_in_db ? pic_zoom_image : pic_zoom;
    return box->pixmap().toImage();
}

void frmZoom::Slider1_Click()
{
    if (m_failed || !m_picture.ok())
        return;  // still loading, or nothing to draw
    pic_zoom->hide();
    pic_zoom_image->hide();
    if (picture_file_gone())
        return;

    const FreeArea area = free_area();
    // Zooms are per cent of the picture's own size, whatever is kept of it.
    const QSize natural = m_picture.natural_size();
    // The first drawing is at the natural size, whatever was pressed meanwhile.
    const double z = m_first_draw ? 0 : Slider1->value();
    const double target_w = ui::px_to_twips(natural.width()) * (1 + z / 100);
    const double target_h = ui::px_to_twips(natural.height()) * (1 + z / 100);
    const FitResult fit = fit_to_box(false, area.width, area.height, target_w, target_h);

    // Laid out in logical pixels, drawn in device pixels.
    const QSize target(std::max(1, ui::twips_to_px(fit.display_width)), std::max(1, ui::twips_to_px(fit.display_height)));
    const qreal ratio = devicePixelRatioF();
    QLabel* box = m_request.picture_in_db ? pic_zoom_image : pic_zoom;
    QImage drawing = m_picture.draw(picture::device_pixels(target, ratio), m_request.picture_in_db ? 5 : m_request.quality);
    drawing.setDevicePixelRatio(ratio);
    box->setPixmap(QPixmap::fromImage(std::move(drawing)));
    box->setGeometry(QRect(QPoint(0, 0), target));

    const ZoomLayout layout = zoom_layout(fit.display_width, fit.display_height);
    resize(ui::twips_to_px(layout.client_width), ui::twips_to_px(layout.client_height));
    place_controls(layout.slider_width, layout.slider_top, layout.right_panel_left);

    {
        const QSignalBlocker block(Slider1);
        if (m_first_draw) {
            m_saved_min_zoom = fit.min_zoom;
            m_saved_max_zoom = fit.max_zoom;
        }
        // Whole per cents, rounded as the slider's own values are; the fit
        // keeps a rounded-up maximum inside the free area.
        Slider1->setMaximum(int(ui::round_half_even(m_saved_max_zoom)));
        Slider1->setMinimum(int(ui::round_half_even(m_saved_min_zoom)));
        if (m_first_draw) {
            Slider1->setValue(int(ui::round_half_even(fit.cur_zoom)));
            m_first_draw = false;
        }
    }
    eof->setEnabled(Slider1->value() != Slider1->maximum());
    bof->setEnabled(Slider1->value() != Slider1->minimum());
    setWindowTitle(zoom_caption(Slider1->value(), m_request.caption_path));
    box->show();
}

void frmZoom::bof_Click()
{
    bof->setEnabled(false);
    Slider1->setValue(Slider1->minimum());
    Slider1_Click();
}

void frmZoom::eof_Click()
{
    eof->setEnabled(false);
    Slider1->setValue(Slider1->maximum());
    Slider1_Click();
}

void frmZoom::Form_KeyPress(int key_ascii)
{
    const ZoomKey key = zoom_key(key_ascii);
    if (key != ZoomKey::Close && !m_picture.ok())
        return;  // nothing to zoom yet
    switch (key) {
    case ZoomKey::Close:
        close();
        break;
    case ZoomKey::Redraw:
        Slider1_Click();
        break;
    case ZoomKey::NaturalSize:
        Slider1->setValue(0);
        Slider1_Click();
        break;
    case ZoomKey::Maximum:
        Slider1->setValue(Slider1->maximum());
        Slider1_Click();
        break;
    case ZoomKey::None:
        break;
    }
}

void frmZoom::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        Form_KeyPress(27);
        return;
    }
    const QString text = event->text();
    if (text.size() == 1 && zoom_key(text[0].unicode()) != ZoomKey::None) {
        Form_KeyPress(text[0].unicode());
        return;
    }
    QWidget::keyPressEvent(event);
}

bool frmZoom::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == pic_zoom || watched == pic_zoom_image) && event->type() == QEvent::MouseButtonRelease) {
        close();
        return true;
    }
    if (watched == Slider1 && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            Slider1->setEnabled(false);
            Slider1_Click();
            Slider1->setEnabled(true);
            Slider1->setFocus();
            return true;
        }
        // The window sees its keys first (Esc and the keypad digits).
        if (key->key() == Qt::Key_Escape || (key->text().size() == 1 && zoom_key(key->text()[0].unicode()) != ZoomKey::None)) {
            keyPressEvent(key);
            return true;
        }
    }
    if (watched == Slider1 && event->type() == QEvent::MouseButtonRelease && !Slider1->isSliderDown()) {
        // A click on the groove pages the slider; redraw after Qt moved it.
        QTimer::singleShot(0, this, &frmZoom::Slider1_Click);
    }
    return QWidget::eventFilter(watched, event);
}

void frmZoom::mouseReleaseEvent(QMouseEvent* event)
{
    QWidget::mouseReleaseEvent(event);
    close();
}

} // namespace mosswick
