#include "platform/ui/frm_db_password.h"

#include "platform/ui/widgets.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QVBoxLayout>

namespace mosswick::ui {

frmDbPassword::frmDbPassword(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmDbPassword"));
    setWindowTitle(QStringLiteral("Database password"));
    auto* v = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("Password"), this);
    label->setObjectName(QStringLiteral("Label1"));
    Text1 = make_password_box(k_max_password_length, this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setToolTip(QStringLiteral("Return to confirm, ESC to exit"));
    v->addWidget(label);
    v->addWidget(Text1);
    // Wide enough for the caption beside the title bar's icon and buttons.
    QFont title_font = font();
    title_font.setBold(true);
    const int title_bar = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    setMinimumWidth(QFontMetrics(title_font).horizontalAdvance(windowTitle()) + 5 * title_bar);
    move(0, 0);
    setModal(true);
}

void frmDbPassword::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        m_password = Text1->text();
        accept();
        return;
    case Qt::Key_Escape:
        m_password.clear();
        reject();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

} // namespace mosswick::ui
