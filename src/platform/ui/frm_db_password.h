#pragma once

#include <QDialog>

class QLineEdit;

namespace mosswick::ui {

// The longest password the prompt takes: an Access (Jet 4) password's limit.
inline constexpr int k_max_password_length = 20;

// The catalogue password prompt: Enter confirms, Esc or the close box cancel.
class frmDbPassword : public QDialog {
    Q_OBJECT
public:
    explicit frmDbPassword(QWidget* parent = nullptr);
    // The typed password after Enter; empty after Esc or the close box.
    const QString& password() const { return m_password; }
    QLineEdit* Text1 = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString m_password;
};

} // namespace mosswick::ui
