#include "catalogue/frm_about.h"

#include "core/catalogue_logic.h"
#include "core/edition.h"
#include "platform/picture/picture.h"
#include "platform/ui/vb.h"

#include <QDesktopServices>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>

namespace mosswick {

namespace {
// No public home page exists yet; the address is a placeholder.
const QString k_home_page = QStringLiteral("https://mosswick.example.org/");
const QString k_email = QStringLiteral("mosswick@example.org");
}

frmAbout::frmAbout(const Edition& edition, QWidget* main_window, const QString& program_folder, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About ") + edition.texts.program_title);
    setModal(false);
    QFont comic(QStringLiteral("Comic Sans MS"));
    auto* v = new QVBoxLayout(this);
    Label1 = new QLabel(edition.texts.program_title, this);
    QFont big = comic;
    big.setPointSize(16);
    big.setBold(true);
    Label1->setFont(big);
    Label5 = new QLabel(edition.texts.about_version, this);
    // Honest labels: what this build is made of.
    Label6 = new QLabel(QStringLiteral("Qt 6 & C++20 technology"), this);
    Label7 = new QLabel(QStringLiteral("SQLite / SQLCipher catalogue file"), this);
    auto* label9 = new QLabel(QStringLiteral("Internet home page:"), this);
    // A plain label used as a link: underlined only while the mouse is over it.
    Label10 = new QLabel(k_home_page, this);
    Label10->setToolTip(QStringLiteral("Click to go"));
    Label10->setCursor(Qt::PointingHandCursor);
    Label10->setStyleSheet(QStringLiteral("color: blue"));
    Label10->installEventFilter(this);
    Label3 = new QLabel(QStringLiteral("e-mail: ") + k_email, this);
    for (QLabel* l : {Label5, Label6, Label7, label9, Label10, Label3})
        l->setFont(comic);
    v->addWidget(Label1);
    v->addWidget(Label5);
    v->addWidget(Label6);
    v->addWidget(Label7);
    v->addWidget(label9);
    v->addWidget(Label10);
    v->addWidget(Label3);

    Image2 = new QLabel(this);
    Image2->setCursor(Qt::PointingHandCursor);
    if (edition.texts.about_picture.isEmpty()) {
        if (main_window)
            m_screenshot = main_window->grab();
        show_small_picture(m_screenshot.toImage(), m_screenshot.devicePixelRatio());
    } else {
        // Without the file the place stays empty; its click says why.
        m_picture_file = join_path(program_folder, edition.texts.about_picture);
        show_small_picture(picture::load_picture(picture::PictureSource::file(m_picture_file)).image,
                           devicePixelRatioF());
    }
    Image2->installEventFilter(this);
    v->addWidget(Image2, 0, Qt::AlignHCenter);
    Label8 = new QLabel(QStringLiteral("Click the image above to show the entire screenshot"), this);
    Label8->setFont(comic);
    v->addWidget(Label8);
    auto* ok = new QPushButton(QStringLiteral("Ok"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    connect(ok, &QPushButton::clicked, this, &QDialog::close);
    v->addWidget(ok, 0, Qt::AlignRight);
    setAttribute(Qt::WA_DeleteOnClose);

    resize(ui::twips_to_px(10665), ui::twips_to_px(5505));
    if (QScreen* s = QGuiApplication::primaryScreen()) {
        const QRect area = s->geometry();
        move((area.width() - width()) / 2, (area.height() - height()) / 2);
    }
}

void frmAbout::show_small_picture(const QImage& picture, qreal device_pixel_ratio)
{
    if (picture.isNull())
        return;
    // 240 x 160 logical pixels, with all the device pixels the screen has.
    QPixmap small = QPixmap::fromImage(picture.scaled(QSize(240, 160) * device_pixel_ratio, Qt::KeepAspectRatio,
                                                      Qt::SmoothTransformation));
    small.setDevicePixelRatio(device_pixel_ratio);
    Image2->setPixmap(small);
}

void frmAbout::set_link_underline(bool on)
{
    QFont f = Label10->font();
    f.setUnderline(on);
    Label10->setFont(f);
}

bool frmAbout::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Image2 && event->type() == QEvent::MouseButtonRelease)
        emit screenshot_clicked();
    if (watched == Label10) {
        if (event->type() == QEvent::Enter)
            set_link_underline(true);
        else if (event->type() == QEvent::Leave)
            set_link_underline(false);
        else if (event->type() == QEvent::MouseButtonRelease)
            QDesktopServices::openUrl(QUrl(k_home_page));
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace mosswick
